// An array named by an argument of a general function, taken at the moment of the call. It
// keeps its own reference to the elements, so declaring the result array (which re-sorts the
// array table) cannot move them.
#pragma once

#include <QString>
#include <array>
#include <memory>

#include "engine/engine_state.h"
#include "functions/general_unit.h"

struct ArraySource {
  QString name;       // as the script wrote it
  QString entryName;  // as declared
  std::array<qint64, kMaxArrayDimensions> dim{};
  qint64 count = 0;
  TWordKind type = wkNone;
  std::shared_ptr<TArrayElements> P;

  qint64 d(int k) const { return dim[std::size_t(k - 1)]; }
  bool twoDimensional() const { return d(1) >= 1 && d(2) >= 1 && d(3) == 0 && d(4) == 0; }
  // Rows of a one- or two-dimensional array. An array declared with a size of 0 after its
  // first dimension has d1 rows on paper and no elements; it counts as having none.
  qint64 rows() const { return d(2) == 0 ? count : d(1); }
  bool sameShape(const ArraySource& o) const { return dim == o.dim && count == o.count; }
};

// Takes the array named by argument n; reports message 147 for anything else.
bool TakeArray(GeneralCall& call, int n, ArraySource& s);
