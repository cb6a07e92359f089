// Gauss-Jordan elimination with full pivoting: matrix inversion and determinant.
#pragma once

#include <cstddef>
#include <vector>

struct GaussJordanResult {
  double determinant = 1.0;
  // A pivot fell below 2^-52: the elimination stopped there and the matrix was left part-way;
  // the determinant is the product of the pivots up to and including that one.
  bool singular = false;
};

// Inverts the n x n matrix `a` (row-major) in place. When the result is not singular, `a`
// holds the inverse afterwards.
GaussJordanResult GaussJordan(std::vector<double>& a, std::size_t n);
