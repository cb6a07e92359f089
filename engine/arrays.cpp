// Array declarations, element references and assignment, initial-value lists.
#include "engine/arrays.h"

#include <cmath>
#include <new>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/local_texts.h"
#include "engine/message_numbers.h"
#include "engine/number_text.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/word_reader.h"

using namespace Qt::Literals::StringLiterals;

namespace {


bool IsDelimiter(const TWordStatus& w) {
  return w.kind == wkOpeningBracket || w.kind == wkClosingBracket || w.kind == wkComma;
}

void MarkChanged(int index1) {
  EngineState& e = Engine();
  const t_arr_specification& a = e.Array(index1);
  e.ChangedArrayName = AsciiUpper(a.name);
  e.ChangedArrayLevel = a.function_level;
  e.ChangedArrayIndex = index1;
}

// Evaluates words from..to, or takes a lone number word as it stands.
bool NumberOf(const TWordArray& w, int from, int to, double& value) {
  if (from == to && w[from].kind == wkFloat) {
    value = w[from].float_val;
    return true;
  }
  TWordStatus v;
  EvaluateRange(w, from, to, v);
  if (ErrorPending()) return false;
  value = v.float_val;
  return true;
}

// Stores a value into an element; false (with the error set) when an int element cannot hold
// it, which leaves the element unchanged.
bool StoreElement(t_arr_specification& a, qint64 offset, const TWordStatus& value) {
  TArrayElements& p = *a.P;
  switch (a.data_type) {
    case wkString:
      p.strings[std::size_t(offset)] = value.str;
      break;
    case wkInt: {
      const double v = RoundHalfEven(value.float_val);
      if (!(v >= -0x1p63 && v < 0x1p63)) {
        RaiseScriptError(LocalText(LocalTextId::IntegerOutOfRange, {NumberText(value.float_val), a.name}));
        return false;
      }
      p.ints[std::size_t(offset)] = std::int64_t(v);
      break;
    }
    default:
      p.floats[std::size_t(offset)] = value.float_val;
  }
  return true;
}

// A declared bound as a whole number; false when it lies beyond anything an array can hold.
bool BoundOf(double value, std::int64_t& bound) {
  const double v = RoundHalfEven(value);
  if (!(std::fabs(v) <= double(INT32_MAX))) return false;
  bound = std::int64_t(v);
  return true;
}

// Allocates zeroed elements; false when memory runs out.
bool Allocate(t_arr_specification& a) {
  try {
    a.P = std::make_shared<TArrayElements>();
    const std::size_t n = std::size_t(a.count);
    if (a.data_type == wkString) a.P->strings.resize(n);
    else if (a.data_type == wkInt) a.P->ints.assign(n, 0);
    else a.P->floats.assign(n, 0.0);
    return true;
  } catch (const std::bad_alloc&) {
    a.P.reset();
    return false;
  } catch (const std::length_error&) {
    a.P.reset();
    return false;
  }
}

int DimensionCount(const t_arr_specification& a) {
  int k = 0;
  while (k < kMaxArrayDimensions && a.dim[std::size_t(k)] != 0) ++k;
  // A declared size of 0 still counts as a dimension when a later one is set.
  for (int d = kMaxArrayDimensions - 1; d >= k; --d)
    if (a.dim[std::size_t(d)] != 0) return d + 1;
  return k;
}

}  // namespace

// ---- Declaration --------------------------------------------------------------------------------

namespace {

// Message 138 unless the table has room for one more declared array.
bool RoomForAnotherArray() {
  if (Engine().ArrayCount() < kMaxDeclaredArrays) return true;
  RaiseScriptError(MessageText(msg::kTooManyArrays, {kMaxDeclaredArrays}));
  return false;
}

// A declaration replaces the array of the same name and marks the name as changed.
void ReplaceArrayNamed(const QString& name) {
  EngineState& e = Engine();
  if (const int old = FindArray(name); old > 0) DeleteArray(old);
  e.ChangedArrayName = AsciiUpper(name);
  e.ChangedArrayLevel = e.FunctionLevel;
}

// Appends dimension `dims` (first index - 1, length); message 146 when it cannot be held.
bool AddDimension(t_arr_specification& a, int& dims, qint64& count, std::int64_t first, std::int64_t length) {
  if (length < 0 || length > INT32_MAX || std::llabs(first) > INT32_MAX / 2) {
    RaiseScriptError(MessageText(msg::kCannotCreateArray, {a.name}));
    return false;
  }
  a.first[std::size_t(dims)] = std::int32_t(first);
  a.dim[std::size_t(dims)] = std::int32_t(length);
  count *= length;
  if (count > kMaxArrayElements) {
    RaiseScriptError(MessageText(msg::kCannotCreateArray, {a.name}));
    return false;
  }
  ++dims;
  return true;
}

// Allocates the elements and appends the entry at the current level; its 1-based index, or 0.
int AddDeclaredArray(t_arr_specification& a, TWordKind type, qint64 count) {
  EngineState& e = Engine();
  a.data_type = type;
  a.count = std::int32_t(count);
  a.function_level = e.FunctionLevel;
  if (!Allocate(a)) {
    RaiseScriptError(MessageText(msg::kCannotCreateArray, {a.name}));
    return 0;
  }
  e.Arrays.push_back(std::move(a));
  return e.ArrayCount();
}

// The table is sorted again and the changed-array marker points at the new entry.
void FinishDeclaration(const QString& name) {
  EngineState& e = Engine();
  SortArrays();
  e.ChangedArrayIndex = FindArrayAtLevel(name, e.FunctionLevel);
}

}  // namespace

void DeclareArray(const TWordArray& w) {
  if (!RoomForAnotherArray()) return;
  if (w.count() < 5) {
    RaiseScriptError(MessageText(msg::kArrayDescriptionError));
    return;
  }
  const QString name = w[1].str;
  if (w[1].kind != wkArrayName && w[1].kind != wkUnknownIdentifier) {
    RaiseScriptError(MessageText(msg::kArrayNameError, {name}));
    return;
  }
  if (w[2].kind != wkOpeningSquareBracket) {
    RaiseScriptError(MessageText(msg::kArrayNameNeedsBracket, {name}));
    return;
  }
  ReplaceArrayNamed(name);

  t_arr_specification a;
  a.name = name;
  int i = 3, dims = 0;
  qint64 count = 1;
  for (;;) {
    if (i > w.lastIndex()) {
      RaiseScriptError(MessageText(msg::kArrayDimensionUnclosed));
      return;
    }
    int end = i;
    while (end <= w.lastIndex() && w[end].kind != wkComma && w[end].kind != wkClosingSquareBracket &&
           w[end].kind != wkDblDot)
      ++end;
    if (end > w.lastIndex()) {
      RaiseScriptError(MessageText(msg::kArrayDimensionUnclosed));
      return;
    }
    if (dims == kMaxArrayDimensions) {
      RaiseScriptError(MessageText(msg::kTooManyDimensions, {name}));
      return;
    }
    double size = 0;
    if (!NumberOf(w, i, end - 1, size)) return;
    std::int64_t first = 0, length = 0;
    if (!BoundOf(size, length)) {
      RaiseScriptError(MessageText(msg::kCannotCreateArray, {name}));
      return;
    }
    if (w[end].kind == wkDblDot) {
      int upper = end + 1;
      while (upper <= w.lastIndex() && w[upper].kind != wkComma && w[upper].kind != wkClosingSquareBracket)
        ++upper;
      if (upper > w.lastIndex()) {
        RaiseScriptError(MessageText(msg::kArrayDimensionUnclosed));
        return;
      }
      double hi = 0;
      std::int64_t last = 0;
      if (!NumberOf(w, end + 1, upper - 1, hi)) return;
      if (!BoundOf(hi, last)) {
        RaiseScriptError(MessageText(msg::kCannotCreateArray, {name}));
        return;
      }
      first = length - 1;
      length = last - first;
      end = upper;
    }
    if (!AddDimension(a, dims, count, first, length)) return;
    i = end + 1;
    if (w[end].kind == wkClosingSquareBracket) break;
  }

  const TWordKind typeWord = w[i].kind;
  TWordKind type = wkNone;
  if (typeWord == wkIntegerDescription) type = wkInt;
  else if (typeWord == wkFloatDescription) type = wkFloat;
  else if (typeWord == wkStringDescription) type = wkString;
  else {
    RaiseScriptError(MessageText(msg::kArrayNeedsDataType, {name}));
    return;
  }
  const int index = AddDeclaredArray(a, type, count);
  if (index == 0) return;
  if (i < w.lastIndex()) {
    if (!w[i + 1].isOperator(opEqual)) {
      RaiseScriptError(MessageText(msg::kTextAfterDataType));
    } else {
      FillFromList(index, w[i + 2].str);
    }
  }
  FinishDeclaration(name);
}

int DeclareArrayOf(const QString& name, const QList<qint64>& sizes, TWordKind type,
                   const QList<TWordStatus>& values) {
  if (!RoomForAnotherArray()) return 0;
  ReplaceArrayNamed(name);
  t_arr_specification a;
  a.name = name;
  int dims = 0;
  qint64 count = 1;
  for (const qint64 size : sizes.isEmpty() ? QList<qint64>{0} : sizes) {
    if (dims == kMaxArrayDimensions) {
      RaiseScriptError(MessageText(msg::kTooManyDimensions, {name}));
      return 0;
    }
    if (!AddDimension(a, dims, count, 0, size)) return 0;
  }
  const int index = AddDeclaredArray(a, type, count);
  if (index == 0) return 0;
  t_arr_specification& created = Engine().Array(index);
  for (qsizetype k = 0; k < values.size() && k < created.count; ++k)
    if (!StoreElement(created, k, values[k])) break;
  FinishDeclaration(name);
  return Engine().ChangedArrayIndex;
}

// ---- Elements -----------------------------------------------------------------------------------

bool ElementOffset(const TWordArray& w, int position, ElementRef& ref) {
  EngineState& e = Engine();
  const QString name = w[position].str;
  ref.array = FindArray(name);
  if (ref.array == 0) {
    RaiseScriptError(MessageText(msg::kUnknownArray, {name}));
    return false;
  }
  if (w[position + 1].kind != wkOpeningSquareBracket) {
    RaiseScriptError(MessageText(msg::kElementNeedsBracket, {name}));
    return false;
  }
  std::int64_t indexes[kMaxArrayDimensions];
  int given = 0, depth = 0, from = position + 2;
  for (int i = from;; ++i) {
    if (i > w.lastIndex()) {
      RaiseScriptError(MessageText(msg::kArrayDimensionUnclosed));
      return false;
    }
    const TWordKind k = w[i].kind;
    if (!EndsElementIndex(k, depth)) continue;
    // words from..i-1 are one index
    if (given == kMaxArrayDimensions) {
      RaiseScriptError(MessageText(msg::kTooManyDimensions, {name}));
      return false;
    }
    double v = 0;
    if (from == i - 1 && w[from].kind == wkFloat && w[from].var_index == 0) {  // a literal
      v = w[from].float_val;
      if (v != std::trunc(v)) {
        RaiseScriptError(MessageText(msg::kIndexNotInteger, {name, w[from].str}));
        return false;
      }
    } else if (!NumberWithoutText(w, from, i - 1, v)) {
      TWordStatus value;
      EvaluateRange(w, from, i - 1, value);
      if (ErrorPending()) return false;
      if (!IsNumberKind(value.kind)) {
        RaiseScriptError(MessageText(msg::kIndexNotInteger, {name, value.str}));
        return false;
      }
      v = value.float_val;
    }
    if (!(std::fabs(v) < 9e15)) {
      RaiseScriptError(MessageText(msg::kIndexOutOfRange, {name}));
      return false;
    }
    indexes[given++] = std::int64_t(RoundHalfEven(v));
    from = i + 1;
    if (k == wkClosingSquareBracket) {
      ref.closeIndex = i;
      break;
    }
  }
  std::int64_t offset = 0;
  if (!OffsetOfIndexes(e.Array(ref.array), indexes, given, offset)) {
    RaiseScriptError(MessageText(msg::kIndexOutOfRange, {name}));
    return false;
  }
  ref.offset = offset;
  return true;
}

bool OffsetOfIndexes(const t_arr_specification& a, const std::int64_t* indexes, int given, std::int64_t& offset) {
  std::int64_t multiplier = 1;
  offset = 0;
  for (int d = given - 1; d >= 0; --d) {
    const std::int64_t lo = a.first[std::size_t(d)] + 1, hi = a.first[std::size_t(d)] + a.dim[std::size_t(d)];
    if (indexes[d] < lo || indexes[d] > hi) return false;
    offset += (indexes[d] - lo) * multiplier;
    multiplier *= a.dim[std::size_t(d)];
  }
  return offset < a.count;  // fewer dimensions declared than indexes given
}

void ReadElement(TWordArray& w, int position) {
  ElementRef ref;
  if (!ElementOffset(w, position, ref)) return;
  const t_arr_specification& a = Engine().Array(ref.array);
  TWordStatus v;
  const std::size_t at = std::size_t(ref.offset);
  if (a.data_type == wkString) {
    v.kind = wkString;
    v.str = a.P->strings[at];
  } else if (a.data_type == wkInt) {
    SetNumber(v, double(a.P->ints[at]), wkInt);
  } else {
    SetNumber(v, a.P->floats[at], wkFloat);
  }
  v.slot = w[position].slot;  // the element stands where its name stood (traced reductions)
  w.replaceRange(position, ref.closeIndex, v);
}

void AssignElement(const TWordArray& w) {
  EngineState& e = Engine();
  ElementRef ref;
  if (!ElementOffset(w, 0, ref)) return;
  if (!w[ref.closeIndex + 1].isOperator(opEqual)) {
    RaiseScriptError(MessageText(msg::kElementNeedsEquals, {w[0].str}));
    return;
  }
  TWordStatus value;
  // A number element takes a numeric program's value without its text being written.
  double number = 0;
  TWordKind kind = wkNone;
  if (e.Array(ref.array).data_type != wkString &&
      ProgramValue(w, ref.closeIndex + 2, w.lastIndex(), number, kind)) {
    value.kind = kind;
    value.float_val = number;
  } else {
    EvaluateRange(w, ref.closeIndex + 2, w.lastIndex(), value);
  }
  if (ErrorPending() || e.ScriptCallSuspended) return;
  // The evaluation may have called a script function that changed the table.
  ref.array = FindArray(w[0].str);
  if (ref.array == 0 || ref.offset >= e.Array(ref.array).count) {
    RaiseScriptError(MessageText(msg::kUnknownArray, {w[0].str}));
    return;
  }
  if (!StoreElement(e.Array(ref.array), ref.offset, value)) return;
  e.AssignTarget = -1;
  MarkChanged(ref.array);
}

// ---- Initial-value lists ------------------------------------------------------------------------

namespace {

// A word that stands for itself in a list; names, constants and calls are evaluated.
bool IsLiteral(TWordKind kind) {
  return kind == wkFloat || kind == wkInt || kind == wkString || kind == wkStringDQ || kind == wkBool;
}

// Reads the list; stretches of several words, or one word that is not a literal, are evaluated.
bool ReadValueList(const QString& text, TLongWordArray& out) {
  out.clear();
  int position = 1, stretchStart = 0;
  const int end = int(text.size());
  const auto closeStretch = [&]() -> bool {
    const int n = out.count() - stretchStart;
    if (n == 0 || (n == 1 && IsLiteral(out[stretchStart].kind))) return true;
    if (n > kMaxWords) {
      RaiseScriptError(MessageText(msg::kTooComplicated, {text}));
      return false;
    }
    TWordArray expr;
    for (int k = stretchStart; k < out.count(); ++k) expr.append(out[k]);
    RewritePowerSymbols(expr);
    if (ErrorPending()) return false;
    TWordStatus value;
    Evaluate(expr, expr.lastIndex(), value);
    if (ErrorPending() || Engine().ScriptCallSuspended) return false;
    out.truncate(stretchStart);
    out.append(value);
    return true;
  };
  while (position <= end) {
    while (position <= end && text[position - 1] == u' ') ++position;
    if (position > end) break;
    TWordStatus word;
    ReadWord(text, position, word, true);
    if (ErrorPending()) return false;
    if (IsDelimiter(word)) {
      if (!closeStretch()) return false;
      stretchStart = out.count() + 1;
    }
    if (!out.append(word)) {
      RaiseScriptError(MessageText(msg::kTooComplicated, {text}));
      return false;
    }
  }
  return closeStretch();
}

struct ListWalker {
  const TLongWordArray& w;
  t_arr_specification& a;
  int dims;
  int pos = 0;
  qint64 next = 0;

  bool Expect(TWordKind k) {
    if (w[pos].kind != k) {
      RaiseScriptError(MessageText(msg::kInitialValuesError));
      return false;
    }
    ++pos;
    return true;
  }
  // The list of dimension d, its "(" already passed.
  bool Walk(int d) {
    const int n = a.dim[std::size_t(d)];
    if (n == 0) return Expect(wkClosingBracket);
    for (int e = 1; e <= n; ++e) {
      if (d + 1 < dims) {
        if (!Expect(wkOpeningBracket) || !Walk(d + 1)) return false;
      } else {
        if (pos > w.lastIndex() || IsDelimiter(w[pos]) || next >= a.count) {
          RaiseScriptError(MessageText(msg::kInitialValuesError));
          return false;
        }
        if (!StoreElement(a, next++, w[pos++])) return false;
      }
      if (!Expect(e < n ? wkComma : wkClosingBracket)) return false;
    }
    return true;
  }
};

}  // namespace

void FillFromList(int arrayIndex, const QString& listText) {
  TLongWordArray words;
  if (!ReadValueList(listText, words)) return;
  t_arr_specification& a = Engine().Array(arrayIndex);
  ListWalker walker{words, a, DimensionCount(a)};
  if (!walker.Expect(wkOpeningBracket) || !walker.Walk(0)) return;
  if (walker.pos <= words.lastIndex()) RaiseScriptError(MessageText(msg::kInitialValuesError));
}

void DefineStringArray(const QString& name, const QStringList& values) {
  EngineState& e = Engine();
  if (const int old = FindArray(name); old > 0) DeleteArray(old);
  t_arr_specification a;
  a.name = name;
  a.data_type = wkString;
  a.dim[0] = std::int32_t(values.size());
  a.count = a.dim[0];
  a.function_level = 0;
  a.P = std::make_shared<TArrayElements>();
  a.P->strings.assign(values.begin(), values.end());
  e.Arrays.push_back(std::move(a));
  SortArrays();
}
