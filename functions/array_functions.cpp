// General functions: array sizes, construction, row and column selection, sorting, filtering
// and deletion.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/number_text.h"
#include "engine/word_reader.h"
#include "functions/array_source.h"
#include "functions/general_unit.h"

using namespace Qt::Literals::StringLiterals;

namespace {



// The element storage of a result array made by newArray.
TArrayElements& Elements(int index) { return *Engine().Array(index).P; }

// The element at a row-major position as a number (string arrays are not read this way).
double NumberAt(const ArraySource& s, qint64 i) {
  return s.type == wkInt ? double(s.P->ints[std::size_t(i)]) : s.P->floats[std::size_t(i)];
}

// ---- Sizes --------------------------------------------------------------------------------------

void ArrayLength(GeneralCall& call) {
  ArraySource s;
  if (TakeArray(call, 0, s)) call.setSystemNumber(double(s.count));
}

// Dim1 ... Dim4: the dimension is the digit in the function's name.
void Dim(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  const int k = call.name().size() > 3 ? call.name()[3].digitValue() : 1;
  call.setSystemNumber(k >= 1 && k <= kMaxArrayDimensions ? double(s.d(k)) : 0.0);
}

// ---- Construction -------------------------------------------------------------------------------

// Array2, Array3, Array4: a float array declared with the arguments' texts as initial values,
// so each value is the one its text shows. A text that is no plain number (a system-form text
// with a decimal comma, an infinite value) is replaced by the value's own number text, or
// stored directly after the declaration when not finite.
void SmallArray(GeneralCall& call, int size) {
  QStringList texts;
  std::vector<std::pair<int, double>> direct;
  for (int n = 0; n < size; ++n) {
    const QString t = call.has(n) ? call.text(n).trimmed() : QString();
    const double value = call.has(n) ? call.number(n) : 0.0;
    double parsed = 0;
    if (ParseNumberText(t, parsed) && std::isfinite(parsed) && !t.contains(u',')) {
      texts << t;
    } else if (std::isfinite(value)) {
      texts << NumberText(value);
    } else {
      texts << u"0"_s;
      direct.emplace_back(n, value);
    }
  }
  const QString name = NewTemporaryArrayName();
  const QString line =
      u"array "_s + name + u'[' + QString::number(size) + u"]float=("_s + texts.join(u',') + u')';
  TWordArray words;
  SplitWords(line, words);
  if (call.failed()) return;
  DeclareArray(words);
  if (call.failed()) return;
  const int index = FindArrayAtLevel(name, Engine().FunctionLevel);
  if (index == 0) return;
  for (const auto& [n, value] : direct) Elements(index).floats[std::size_t(n)] = value;
  call.setArray(name);
}

void Array2(GeneralCall& call) { SmallArray(call, 2); }
void Array3(GeneralCall& call) { SmallArray(call, 3); }
void Array4(GeneralCall& call) { SmallArray(call, 4); }

// ---- Rows and columns ---------------------------------------------------------------------------

void ArrayRow(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  if (!(s.d(1) >= 2 && s.d(2) >= 2 && s.d(3) == 0 && s.d(4) == 0)) return call.fail(156, {s.name});
  const qint64 row = call.integerOr(1, 0);
  if (row < 1 || row > s.d(1)) return call.fail(163, {call.name().toLower()});
  const qint64 cols = s.d(2), from = (row - 1) * cols;
  if (s.type == wkString) {
    const int index = call.newArray({int(cols)}, wkString);
    if (index == 0) return;
    std::copy_n(s.P->strings.begin() + from, cols, Elements(index).strings.begin());
    return;
  }
  const int index = call.newArray({int(cols)}, wkFloat);
  if (index == 0) return;
  std::vector<double>& out = Elements(index).floats;
  for (qint64 c = 0; c < cols; ++c) out[std::size_t(c)] = NumberAt(s, from + c);
}

void ArrayCol(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  if (!(s.d(1) >= 2 && s.d(2) >= 2 && s.d(3) == 0 && s.d(4) == 0)) return call.fail(156, {s.name});
  const qint64 col = call.integerOr(1, 0);
  if (col < 1 || col > s.d(2) || s.type != wkFloat) return call.fail(163, {call.name().toLower()});
  const qint64 rows = s.d(1), cols = s.d(2);
  const int index = call.newArray({int(rows)}, wkFloat);
  if (index == 0) return;
  std::vector<double>& out = Elements(index).floats;
  for (qint64 r = 0; r < rows; ++r) out[std::size_t(r)] = s.P->floats[std::size_t(r * cols + col - 1)];
}

// The checks shared by the two look-ups by name; returns the 0-based matching row or -1.
bool FindRowByName(GeneralCall& call, const ArraySource& s, qint64 col, qint64 col1, qint64& found) {
  if (!(s.d(1) >= 1 && s.d(2) >= 2 && s.d(3) == 0 && s.d(4) == 0)) {
    call.fail(156, {s.name});
    return false;
  }
  if (col < 1 || col > s.d(2) || col1 > s.d(2) || s.type != wkString) {
    call.fail(163, {call.name().toLower()});
    return false;
  }
  const QString key = call.has(1) ? call.text(1) : QString();
  const std::vector<QString>& e = s.P->strings;
  const qint64 cols = s.d(2);
  found = -1;
  for (qint64 r = 0; r < s.d(1); ++r)
    if (e[std::size_t(r * cols + col - 1)] == key) {
      found = r;
      break;
    }
  return true;
}

void ArrayRowByName(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  const qint64 col = call.integerOr(2, 1), col1 = call.integerOr(3, 0);
  qint64 row = -1;
  if (!FindRowByName(call, s, col, col1, row)) return;
  const qint64 cols = s.d(2);
  if (col1 >= 1) {
    call.setText(row < 0 ? QString() : s.P->strings[std::size_t(row * cols + col1 - 1)]);
    return;
  }
  const int index = call.newArray({int(cols)}, wkString);
  if (index == 0 || row < 0) return;
  std::copy_n(s.P->strings.begin() + row * cols, cols, Elements(index).strings.begin());
}

void ArrayRowNumberByName(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  qint64 row = -1;
  if (FindRowByName(call, s, call.integerOr(2, 1), 0, row)) call.setNumber(double(row + 1));
}

// ---- Filtering ----------------------------------------------------------------------------------

void ArrayFilter(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  const qint64 col = call.integerOr(2, 1);
  const QString options = call.has(3) ? call.text(3).toLower() : u"i"_s;
  if (s.type != wkString) return call.fail(149, {s.name});
  if (!(s.d(1) >= 2 && s.d(2) >= 1 && s.d(3) == 0 && s.d(4) == 0)) return call.fail(156, {s.name});
  if (col < 1 || col > s.d(2)) return call.fail(163, {call.name()});

  const bool ignoreCase = options.contains(u'i');
  const QString given = call.has(1) ? call.text(1) : QString();
  const QString filter = ignoreCase ? given.toUpper() : given;
  const std::vector<QString>& e = s.P->strings;
  const qint64 rows = s.d(1), cols = s.d(2);
  std::vector<qint64> kept;
  try {
    for (qint64 r = 0; r < rows; ++r) {
      const QString& cell = e[std::size_t(r * cols + col - 1)];
      if (ignoreCase ? cell.toUpper().contains(filter) : cell.contains(filter)) kept.push_back(r);
    }
  } catch (const std::bad_alloc&) {
    return call.fail(146, {s.name});
  }
  const int index = call.newArray({int(kept.size()), int(cols)}, wkString);
  if (index == 0) return;
  auto out = Elements(index).strings.begin();
  for (qint64 r : kept) out = std::copy_n(e.begin() + r * cols, cols, out);
}

// ---- Sorting ------------------------------------------------------------------------------------

// Ascending order of float keys; NaN keys come after every number.
bool FloatBefore(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }

// A text key with its first four UTF-16 code units packed so that comparing the numbers orders
// the texts as comparing them would (a shorter text is padded with the smallest code unit);
// equal prefixes are decided by the whole texts.
struct TextKey {
  std::uint64_t prefix;
  std::int32_t row;
  const QString* text;
};

std::uint64_t PrefixOf(const QString& text) {
  std::uint64_t prefix = 0;
  for (qsizetype i = 0; i < 4; ++i) prefix = (prefix << 16) | (i < text.size() ? text[i].unicode() : 0u);
  return prefix;
}

// Compares two texts with equal prefixes by their UTF-16 code units from the fifth on.
int CompareAfterPrefix(const QString& a, const QString& b) {
  const QChar* x = a.constData();
  const QChar* y = b.constData();
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 4; i < n; ++i)
    if (x[i] != y[i]) return x[i].unicode() < y[i].unicode() ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

void ArraySort(GeneralCall& call) {
  ArraySource s;
  if (!TakeArray(call, 0, s)) return;
  const qint64 sortCol = call.integerOr(1, 1);
  const bool descending = call.has(2) && call.integer(2) != 0;
  if (!(s.rows() >= 1 && s.d(3) == 0 && s.d(4) == 0)) return call.fail(165, {s.name});
  const bool twoDim = s.d(2) != 0;
  if (twoDim && sortCol > s.d(2)) return call.fail(166, {u"Array_Sort"_s, s.d(2)});
  if (!twoDim && sortCol >= 2) return call.fail(167, {u"Array_Sort"_s});
  if (sortCol < 1) return call.fail(163, {u"Array_Sort"_s});
  if (s.type != wkString && s.type != wkFloat) return;

  const qint64 rows = s.rows(), width = twoDim ? s.d(2) : 1, key = sortCol - 1;
  // order[p] is the source row that lands at position p of the ascending order; equal keys
  // keep their source order.
  std::vector<std::int32_t> order;
  try {
    order.resize(std::size_t(rows));
    if (s.type == wkString) {
      const std::vector<QString>& e = s.P->strings;
      std::vector<TextKey> keys(order.size());
      for (qint64 r = 0; r < rows; ++r) {
        const QString& text = e[std::size_t(r * width + key)];
        keys[std::size_t(r)] = {PrefixOf(text), std::int32_t(r), &text};
      }
      std::sort(keys.begin(), keys.end(), [](const TextKey& a, const TextKey& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const int c = CompareAfterPrefix(*a.text, *b.text);
        return c != 0 ? c < 0 : a.row < b.row;
      });
      for (qint64 p = 0; p < rows; ++p) order[std::size_t(p)] = keys[std::size_t(p)].row;
    } else {
      const std::vector<double>& e = s.P->floats;
      std::vector<std::pair<double, std::int32_t>> keys(order.size());
      for (qint64 r = 0; r < rows; ++r) keys[std::size_t(r)] = {e[std::size_t(r * width + key)], std::int32_t(r)};
      std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
        if (FloatBefore(a.first, b.first)) return true;
        if (FloatBefore(b.first, a.first)) return false;
        return a.second < b.second;
      });
      for (qint64 p = 0; p < rows; ++p) order[std::size_t(p)] = keys[std::size_t(p)].second;
    }
  } catch (const std::bad_alloc&) {
    return call.fail(146, {s.name});
  }

  const QList<int> sizes = twoDim ? QList<int>{int(rows), int(width)} : QList<int>{int(rows)};
  const int index = call.newArray(sizes, s.type);
  if (index == 0) return;
  TArrayElements& out = Elements(index);
  for (qint64 p = 0; p < rows; ++p) {
    const qint64 target = descending ? rows - 1 - p : p;
    const std::size_t from = std::size_t(order[std::size_t(p)] * width), to = std::size_t(target * width);
    if (s.type == wkString)
      std::copy_n(s.P->strings.begin() + from, width, out.strings.begin() + to);
    else
      std::copy_n(s.P->floats.begin() + from, width, out.floats.begin() + to);
  }
}

// ---- Deletion -----------------------------------------------------------------------------------

// The argument arrives unevaluated: only a known array name deletes anything.
void ArrayDelete(GeneralCall& call) {
  if (!call.has(0) || call.arg(0).kind != wkArrayName) return;
  if (const int index = FindArray(call.text(0)); index > 0) DeleteArray(index);
}

constexpr UnitFunctionEntry kArrayFunctions[] = {
    {u"Array_Length", ArrayLength},
    {u"Dim1", Dim},
    {u"Dim2", Dim},
    {u"Dim3", Dim},
    {u"Dim4", Dim},
    {u"Array2", Array2},
    {u"Array3", Array3},
    {u"Array4", Array4},
    {u"Array_Row", ArrayRow},
    {u"Array_Col", ArrayCol},
    {u"Array_Row_By_Name", ArrayRowByName},
    {u"Array_RowNumber_By_Name", ArrayRowNumberByName},
    {u"Array_Filter", ArrayFilter},
    {u"Array_Sort", ArraySort},
    {u"Array_Delete", ArrayDelete},
};

}  // namespace

std::span<const UnitFunctionEntry> ArrayFunctions() { return kArrayFunctions; }
