// Gauss-Jordan elimination with full pivoting, in place.
#include "functions/gauss_jordan.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kSmallestPivot = 2.220446049250313e-16;  // 2^-52

}  // namespace

GaussJordanResult GaussJordan(std::vector<double>& a, std::size_t n) {
  GaussJordanResult result;
  auto at = [&a, n](std::size_t i, std::size_t j) -> double& { return a[i * n + j]; };
  std::vector<std::size_t> pivotRow(n), pivotCol(n);
  std::vector<double> factor(n);

  for (std::size_t k = 0; k < n; ++k) {
    // The first largest element of the remaining submatrix, row by row.
    double pivot = at(k, k);
    std::size_t ik = k, jk = k;
    for (std::size_t i = k; i < n; ++i)
      for (std::size_t j = k; j < n; ++j)
        if (std::fabs(at(i, j)) > std::fabs(pivot)) {
          pivot = at(i, j);
          ik = i;
          jk = j;
        }
    pivotRow[k] = ik;
    pivotCol[k] = jk;

    result.determinant *= pivot;
    if (ik != k) result.determinant = -result.determinant;
    if (jk != k) result.determinant = -result.determinant;
    if (!(std::fabs(pivot) >= kSmallestPivot)) {
      result.singular = true;
      return result;
    }

    if (ik != k)
      for (std::size_t j = 0; j < n; ++j) std::swap(at(ik, j), at(k, j));
    if (jk != k)
      for (std::size_t i = 0; i < n; ++i) std::swap(at(i, jk), at(i, k));

    for (std::size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      factor[i] = at(i, k);
      at(i, k) = 0.0;
    }
    factor[k] = 0.0;
    at(k, k) = 1.0;

    const double t = 1.0 / pivot;
    double* rowK = &a[k * n];
    for (std::size_t j = 0; j < n; ++j) rowK[j] *= t;

    for (std::size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      const double f = factor[i];
      double* row = &a[i * n];
      for (std::size_t j = 0; j < n; ++j) row[j] -= f * rowK[j];
    }
  }

  // Undo the interchanges: column swaps of the elimination become row swaps of the inverse and
  // row swaps become column swaps, in reverse order.
  for (std::size_t i = n; i-- > 0;)
    if (pivotCol[i] != i)
      for (std::size_t j = 0; j < n; ++j) std::swap(at(i, j), at(pivotCol[i], j));
  for (std::size_t j = n; j-- > 0;)
    if (pivotRow[j] != j)
      for (std::size_t i = 0; i < n; ++i) std::swap(at(i, j), at(i, pivotRow[j]));
  return result;
}
