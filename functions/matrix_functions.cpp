// General functions: matrices and numeric arrays (minimum and maximum, inversion, determinant,
// products, sums, transposition, duplication).
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/names.h"
#include "functions/gauss_jordan.h"
#include "functions/array_source.h"
#include "functions/general_unit.h"

namespace {



// The elements of a number array as doubles: float arrays are read in place, int arrays
// converted. String arrays are refused with the float-type message.
class Numbers {
 public:
  bool read(GeneralCall& call, const ArraySource& s) {
    if (s.type == wkFloat) {
      data_ = s.P->floats.data();
      return true;
    }
    if (s.type != wkInt) {
      call.fail(185, {s.name});
      return false;
    }
    try {
      copy_.assign(s.P->ints.begin(), s.P->ints.end());
    } catch (const std::bad_alloc&) {
      call.fail(146, {s.name});
      return false;
    }
    data_ = copy_.data();
    return true;
  }
  double operator[](qint64 i) const { return data_[i]; }

 private:
  std::vector<double> copy_;
  const double* data_ = nullptr;
};

// The sizes that declare an array of the same dimensions and element count as `s`.
QList<int> SizesOf(const ArraySource& s) {
  int last = kMaxArrayDimensions;
  while (last > 0 && s.d(last) == 0) --last;
  QList<int> sizes;
  qint64 product = 1;
  for (int k = 1; k <= last; ++k) {
    sizes << int(s.d(k));
    product *= s.d(k);
  }
  if (sizes.isEmpty() || (s.count == 0 && product != 0)) sizes << 0;
  return sizes;
}

// Declares a float result array; null when the declaration failed (its error stands).
std::vector<double>* NewFloats(GeneralCall& call, const QList<int>& sizes) {
  const int index = call.newArray(sizes, wkFloat);
  return index == 0 ? nullptr : &Engine().Array(index).P->floats;
}

// ---- Minimum and maximum ------------------------------------------------------------------------

void ArrMinMax(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  if (!(s.rows() >= 1 && s.d(3) == 0 && s.d(4) == 0)) return call.fail(165, {s.name});
  Numbers e;
  if (!e.read(call, s)) return;
  const qint64 rows = s.rows(), cols = s.d(2) == 0 ? 1 : s.d(2);
  std::vector<double>* out = NewFloats(call, cols == 1 ? QList<int>{2} : QList<int>{2, int(cols)});
  if (!out) return;
  for (qint64 c = 0; c < cols; ++c) {
    double lo = e[c], hi = e[c];
    for (qint64 r = 1; r < rows; ++r) {
      const double v = e[r * cols + c];
      if (v < lo) lo = v;
      if (v > hi) hi = v;
    }
    (*out)[std::size_t(c)] = lo;
    (*out)[std::size_t(cols + c)] = hi;
  }
}

// ---- Inversion and determinant ------------------------------------------------------------------

// Copies a square matrix argument into `a`; reports the shape messages.
bool SquareMatrix(GeneralCall& call, ArraySource& s, std::vector<double>& a) {
  if (!TakeArray(call, 0, s)) return false;
  if (!s.twoDimensional()) {
    call.fail(156, {s.name});
    return false;
  }
  if (s.d(1) != s.d(2)) {
    call.fail(158, {s.name});
    return false;
  }
  Numbers e;
  if (!e.read(call, s)) return false;
  try {
    a.resize(std::size_t(s.count));
  } catch (const std::bad_alloc&) {
    call.fail(146, {s.name});
    return false;
  }
  for (qint64 i = 0; i < s.count; ++i) a[std::size_t(i)] = e[i];
  return true;
}

void MatrixInversion(GeneralCall& call) {
  ArraySource s;
  std::vector<double> a;
  if (!SquareMatrix(call, s, a)) return;
  const std::size_t n = std::size_t(s.d(1));
  if (GaussJordan(a, n).singular) return call.fail(159, {s.name});
  std::vector<double>* out = NewFloats(call, {int(n), int(n)});
  if (out) *out = std::move(a);
}

void MatrixDeterminant(GeneralCall& call) {
  ArraySource s;
  std::vector<double> a;
  if (!SquareMatrix(call, s, a)) return;
  call.setSystemNumber(GaussJordan(a, std::size_t(s.d(1))).determinant);
}

// ---- Products -----------------------------------------------------------------------------------

void MatrixMultiplication(GeneralCall& call) {
  ArraySource a, b;
  if (!TakeArray(call, 0, a) || !TakeArray(call, 1, b)) return;
  if (!a.twoDimensional()) return call.fail(156, {a.name});
  if (!b.twoDimensional()) return call.fail(156, {b.name});
  if (a.d(2) != b.d(1)) return call.fail(157);
  Numbers x, y;
  if (!x.read(call, a) || !y.read(call, b)) return;
  const qint64 m = a.d(1), n = a.d(2), q = b.d(2);
  std::vector<double>* out = NewFloats(call, {int(m), int(q)});
  if (!out) return;
  // Row by row, each sum taken in the order of k.
  for (qint64 i = 0; i < m; ++i) {
    double* row = out->data() + i * q;
    for (qint64 k = 0; k < n; ++k) {
      const double f = x[i * n + k];
      for (qint64 j = 0; j < q; ++j) row[j] += f * y[k * q + j];
    }
  }
}

void MatrixVectorProduct(GeneralCall& call) {
  ArraySource a, b;
  if (!TakeArray(call, 0, a) || !TakeArray(call, 1, b)) return;
  const auto vector3 = [](const ArraySource& s) {
    return s.d(1) == 3 && s.d(2) == 0 && s.d(3) == 0 && s.d(4) == 0 && s.count == 3;
  };
  if (!vector3(a)) return call.fail(164, {a.name});
  if (!vector3(b)) return call.fail(164, {b.name});
  Numbers x, y;
  if (!x.read(call, a) || !y.read(call, b)) return;
  std::vector<double>* out = NewFloats(call, {3});
  if (!out) return;
  (*out)[0] = x[1] * y[2] - x[2] * y[1];
  (*out)[1] = x[2] * y[0] - x[0] * y[2];
  (*out)[2] = x[0] * y[1] - x[1] * y[0];
}

void MatrixScalarProduct(GeneralCall& call) {
  ArraySource a, b;
  if (!TakeArray(call, 0, a) || !TakeArray(call, 1, b)) return;
  if (!a.sameShape(b)) return call.fail(168, {a.name, b.name});
  Numbers x, y;
  if (!x.read(call, a) || !y.read(call, b)) return;
  double sum = 0;
  for (qint64 i = 0; i < a.count; ++i) sum += x[i] * y[i];
  call.setSystemNumber(sum);
}

void MatrixMultNumber(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  const double factor = call.has(1) ? call.number(1) : 1.0;
  if (s.type == wkFloat) {
    for (double& v : s.P->floats) v *= factor;
  } else if (s.type == wkInt) {
    for (std::int64_t& v : s.P->ints) {
      const double r = RoundHalfEven(double(v) * factor);
      v = std::fabs(r) < 9.2e18 ? std::int64_t(r) : 0;
    }
  } else {
    return call.fail(185, {s.name});
  }
  EngineState& e = Engine();
  e.ChangedArrayName = AsciiUpper(s.entryName);
  e.ChangedArrayLevel = e.FunctionLevel;
}

// ---- Sums, transposition, duplication -----------------------------------------------------------

void SumOrDifference(GeneralCall& call, double sign) {
  ArraySource a, b;
  if (!TakeArray(call, 0, a) || !TakeArray(call, 1, b)) return;
  if (!a.sameShape(b)) return call.fail(168, {a.name, b.name});
  Numbers x, y;
  if (!x.read(call, a) || !y.read(call, b)) return;
  std::vector<double>* out = NewFloats(call, SizesOf(a));
  if (!out) return;
  for (qint64 i = 0; i < a.count; ++i) (*out)[std::size_t(i)] = x[i] + sign * y[i];
}

void MatrixSum(GeneralCall& call) { SumOrDifference(call, 1.0); }
void MatrixSubtr(GeneralCall& call) { SumOrDifference(call, -1.0); }

void MatrixTransposition(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  if (!s.twoDimensional()) return call.fail(156, {s.name});
  Numbers e;
  if (!e.read(call, s)) return;
  const qint64 m = s.d(1), n = s.d(2);
  std::vector<double>* out = NewFloats(call, {int(n), int(m)});
  if (!out) return;
  for (qint64 i = 0; i < m; ++i)
    for (qint64 j = 0; j < n; ++j) (*out)[std::size_t(j * m + i)] = e[i * n + j];
}

void MatrixDuplication(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  Numbers e;
  if (!e.read(call, s)) return;
  std::vector<double>* out = NewFloats(call, SizesOf(s));
  if (!out) return;
  for (qint64 i = 0; i < s.count; ++i) (*out)[std::size_t(i)] = e[i];
}

constexpr UnitFunctionEntry kMatrixFunctions[] = {
    {u"Arr_MinMax", ArrMinMax},
    {u"Matrix_inversion", MatrixInversion},
    {u"Matrix_Determinant", MatrixDeterminant},
    {u"Matrix_Vector_Product", MatrixVectorProduct},
    {u"Matrix_Scalar_Product", MatrixScalarProduct},
    {u"Matrix_Sum", MatrixSum},
    {u"Matrix_Subtr", MatrixSubtr},
    {u"Matrix_multiplication", MatrixMultiplication},
    {u"Matrix_mult_number", MatrixMultNumber},
    {u"Matrix_transposition", MatrixTransposition},
    {u"Matrix_duplication", MatrixDuplication},
};

}  // namespace

std::span<const UnitFunctionEntry> MatrixFunctions() { return kMatrixFunctions; }
