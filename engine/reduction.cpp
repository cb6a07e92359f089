// Reduction rounds: find the innermost bracket group, fold signs, then apply the operator
// stages in their fixed order. The stages are a table: which operators, which operands, and
// the operation.
#include "engine/reduction.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsLiveOperator(const TWordStatus& w) { return w.kind == wkOperator && w.oper_prioritet != 0; }
bool IsNumber(const TWordStatus& w) { return IsNumberKind(w.kind); }
bool IsText(const TWordStatus& w) { return IsStringKind(w.kind); }
bool IsBool(const TWordStatus& w) { return w.kind == wkBool; }

// ---- Operations -------------------------------------------------------------------------------

void Arithmetic(const TWordStatus& a, TOperator op, const TWordStatus& b, TWordStatus& r) {
  double v = ArithmeticValue(a.float_val, op, b.float_val);
  if (ArithmeticFailed(v, op)) {
    // The evaluation goes on with 0; the caller finds the error afterwards.
    Engine().ErrorText = u"Devision by zero."_s;
    v = 0;
  }
  SetNumber(r, v, ArithmeticKind(a.kind, b.kind, op));
}

void Bitwise(const TWordStatus& a, TOperator op, const TWordStatus& b, TWordStatus& r) {
  double v;
  if (!BitwiseValue(a.float_val, op, b.float_val, v)) {
    const bool leftWrong = !(a.float_val >= 0) || a.float_val != std::trunc(a.float_val);
    RaiseScriptError(MessageText(msg::kBitOperandType, {(leftWrong ? a : b).str}));
    return;
  }
  SetNumber(r, v, wkInt);
}

void Concatenate(const TWordStatus& a, TOperator, const TWordStatus& b, TWordStatus& r) {
  r.kind = a.kind;
  r.str = a.str + b.str;
}

void KindsDiffer(const TWordStatus&, TOperator op, const TWordStatus&, TWordStatus& r) {
  SetBool(r, op == opNotEqual);
}

template <typename T>
bool Compare(const T& x, TOperator op, const T& y) {
  switch (op) {
    case opEqual: return x == y;
    case opNotEqual: return x != y;
    case opLess: return x < y;
    case opLessEqual: return x <= y;
    case opGreater: return x > y;
    default: return x >= y;
  }
}

void CompareNumbers(const TWordStatus& a, TOperator op, const TWordStatus& b, TWordStatus& r) {
  SetBool(r, CompareNumberValues(a.float_val, op, b.float_val));
}

// A text that begins with its own quote character is compared without its quotes.
QString Dequoted(const TWordStatus& w) {
  const QChar q = w.kind == wkString ? u'\'' : u'"';
  const QString& s = w.str;
  if (s.size() < 2 || s.front() != q || s.back() != q) return s;
  QString inner = s.mid(1, s.size() - 2);
  return inner.replace(QString(2, q), QString(q));
}

void CompareTexts(const TWordStatus& a, TOperator op, const TWordStatus& b, TWordStatus& r) {
  SetBool(r, Compare(Dequoted(a).compare(Dequoted(b), Qt::CaseSensitive), op, 0));
}

void Logic(const TWordStatus& a, TOperator op, const TWordStatus& b, TWordStatus& r) {
  SetBool(r, op == opOr ? (a.bool_val || b.bool_val) : (a.bool_val && b.bool_val));
}

// ---- The stage table --------------------------------------------------------------------------

using Operands = bool (*)(const TWordStatus&, const TWordStatus&);
using Operation = void (*)(const TWordStatus&, TOperator, const TWordStatus&, TWordStatus&);

constexpr std::uint32_t Ops(std::initializer_list<TOperator> ops) {
  std::uint32_t mask = 0;
  for (TOperator o : ops) mask |= 1u << o;
  return mask;
}

struct Stage {
  std::uint32_t operators;  // bit per TOperator
  Operands accepts;
  Operation apply;
  TracedOperation traced;
};

bool TwoNumbers(const TWordStatus& a, const TWordStatus& b) { return IsNumber(a) && IsNumber(b); }
bool TwoTexts(const TWordStatus& a, const TWordStatus& b) { return IsText(a) && IsText(b); }
bool TwoBools(const TWordStatus& a, const TWordStatus& b) { return IsBool(a) && IsBool(b); }
bool ComparableKindsDiffer(const TWordStatus& a, const TWordStatus& b) {
  const auto comparable = [](TWordKind k) {
    return k == wkString || k == wkStringDQ || k == wkFloat || k == wkBool;
  };
  return comparable(a.kind) && comparable(b.kind) && a.kind != b.kind;
}

constexpr std::uint32_t kComparisons =
    Ops({opGreater, opGreaterEqual, opLess, opLessEqual, opEqual, opNotEqual});

// In this order; each stage scans the group from left to right. NOT comes last (RunNot).
const std::array<Stage, 11> kStages = {{
    {Ops({opMultiply, opDivide, opRemainder}), TwoNumbers, Arithmetic, TracedOperation::Arithmetic},
    {Ops({opPlus, opMinus}), TwoNumbers, Arithmetic, TracedOperation::Arithmetic},
    {Ops({opShiftLeft, opShiftRight}), TwoNumbers, Bitwise, TracedOperation::Bitwise},
    {Ops({opBitAnd}), TwoNumbers, Bitwise, TracedOperation::Bitwise},
    {Ops({opBitXor}), TwoNumbers, Bitwise, TracedOperation::Bitwise},
    {Ops({opBitOr}), TwoNumbers, Bitwise, TracedOperation::Bitwise},
    {Ops({opPlus}), TwoTexts, Concatenate, TracedOperation::Untraceable},
    {Ops({opEqual, opNotEqual}), ComparableKindsDiffer, KindsDiffer, TracedOperation::KindsDiffer},
    {kComparisons, TwoNumbers, CompareNumbers, TracedOperation::CompareNumbers},
    {kComparisons, TwoTexts, CompareTexts, TracedOperation::Untraceable},
    {Ops({opOr, opAnd}), TwoBools, Logic, TracedOperation::Logic},  // no precedence between them
}};

// The trace of the reduction in progress, if any.
ReductionTrace* g_trace = nullptr;

void Record(TracedOperation operation, TOperator op, std::uint8_t left, std::uint8_t right = 0) {
  if (!g_trace) return;
  if (operation == TracedOperation::Untraceable) g_trace->traceable = false;
  g_trace->steps.push_back({operation, op, left, right});
}

bool IsRedundantContent(TWordKind k) { return (k >= wkString && k <= wkBool) || k == wkUnknownIdentifier; }

// "(" value ")" around the word at `at` becomes the value. Returns true when it did.
bool RemoveBracketsAround(TWordArray& w, int at) {
  const TWordArray& r = w;
  if (at < 1 || r[at - 1].kind != wkOpeningBracket || r[at + 1].kind != wkClosingBracket ||
      !IsRedundantContent(r[at].kind))
    return false;
  w.removeRange(at + 1, at + 1);
  w.removeRange(at - 1, at - 1);
  return true;
}

void RemoveAllRedundantBrackets(TWordArray& w) {
  for (int i = 1; i < w.lastIndex(); ++i)
    if (RemoveBracketsAround(w, i)) i = 0;
}

struct Group {
  int from, to;  // inclusive word range
};

bool FindGroup(const TWordArray& w, Group& g) {
  int open = -1, close = -1;
  for (int i = w.lastIndex(); i >= 0; --i)
    if (w[i].kind == wkOpeningBracket) {
      open = i;
      break;
    }
  for (int i = open + 1; i <= w.lastIndex(); ++i)
    if (w[i].kind == wkClosingBracket) {
      close = i;
      break;
    }
  if ((open < 0) != (close < 0)) {
    RaiseScriptError(MessageText(msg::kBracketMismatch));
    return false;
  }
  g = open < 0 ? Group{0, w.lastIndex()} : Group{open + 1, close - 1};
  return true;
}

void Negate(TWordArray& w, int sign, int number) {
  TWordStatus v = w[number];
  SetNumber(v, -v.float_val, v.kind);
  Record(TracedOperation::Negate, opMinus, v.slot);
  w.replaceRange(sign, number, std::move(v));
}

// Folds the signs that belong to numbers; returns the number of words removed.
int FoldSigns(TWordArray& w, const Group& g) {
  int removed = 0;
  const TWordStatus& first = w[g.from];
  if (g.from + 1 <= g.to && (first.isOperator(opMinus) || first.isOperator(opPlus)) && IsNumber(w[g.from + 1])) {
    if (first.op == opMinus) Negate(w, g.from, g.from + 1);
    else w.removeRange(g.from, g.from);
    ++removed;
  }
  for (int i = g.from; i + 2 <= g.to - removed; ++i) {
    const std::uint8_t p = w[i].oper_prioritet;
    if (IsLiveOperator(w[i]) && (p == 6 || p == 14 || p == 15) && w[i + 1].isOperator(opMinus) &&
        IsNumber(w[i + 2])) {
      Negate(w, i + 1, i + 2);
      ++removed;
    }
  }
  return removed;
}

// Runs one stage over the group; returns false after an error. `to` follows removed words.
bool RunStage(TWordArray& w, const Stage& s, int from, int& to) {
  for (int i = from + 1; i < to;) {
    const TWordStatus& op = w[i];
    if (!IsLiveOperator(op) || !(s.operators & (1u << op.op)) || !s.accepts(w[i - 1], w[i + 1])) {
      ++i;
      continue;
    }
    TWordStatus r;
    s.apply(w[i - 1], op.op, w[i + 1], r);
    if (r.kind == wkNone) return false;  // the operation reported an error
    r.slot = w[i - 1].slot;
    Record(s.traced, op.op, r.slot, w[i + 1].slot);
    w.replaceRange(i - 1, i + 1, std::move(r));
    to -= 2;
    if (RemoveBracketsAround(w, i - 1)) return true;  // the group is one value now
    i = std::max(from + 1, i - 1);  // rescan from the same position
  }
  return true;
}

void RunNot(TWordArray& w, int from, int to) {
  for (int i = from; i < to;) {
    if (w[i].isOperator(opNot) && IsBool(w[i + 1])) {
      TWordStatus r;
      SetBool(r, !w[i + 1].bool_val);
      r.slot = w[i + 1].slot;
      Record(TracedOperation::Not, opNot, r.slot);
      w.replaceRange(i, i + 1, std::move(r));
      --to;
      if (RemoveBracketsAround(w, i)) return;
      i = from;
      continue;
    }
    ++i;
  }
}

std::uint32_t OperatorsIn(const TWordArray& w, const Group& g) {
  std::uint32_t mask = 0;
  for (int i = g.from; i <= g.to; ++i)
    if (IsLiveOperator(w[i])) mask |= 1u << w[i].op;
  return mask;
}

}  // namespace

double ArithmeticValue(double a, TOperator op, double b) {
  switch (op) {
    case opMultiply: return a * b;
    case opDivide: return a / b;
    case opPlus: return a + b;
    case opMinus: return a - b;
    default: {  // remainder of the truncated operands, with the dividend's sign
      const double x = std::trunc(a), y = std::trunc(b);
      if (y == 0) return NAN;
      if (std::fabs(x) < 9.2e18 && std::fabs(y) < 9.2e18) return double(std::int64_t(x) % std::int64_t(y));
      return std::fmod(x, y);
    }
  }
}

bool BitwiseValue(double a, TOperator op, double b, double& result) {
  // Bit operands must be whole and not negative; they are taken as 64-bit patterns.
  const auto bits = [](double v, std::uint64_t& out) {
    if (!(v >= 0) || v != std::trunc(v)) return false;
    out = v >= 18446744073709551615.0 ? UINT64_MAX : std::uint64_t(v);
    return true;
  };
  std::uint64_t x, y;
  if (!bits(a, x) || !bits(b, y)) return false;
  std::uint64_t v;
  switch (op) {
    case opShiftLeft: v = x << (y % 64); break;
    case opShiftRight: v = x >> (y % 64); break;
    case opBitAnd: v = x & y; break;
    case opBitXor: v = x ^ y; break;
    default: v = x | y;
  }
  result = double(v);
  return true;
}

bool CompareNumberValues(double a, TOperator op, double b) { return Compare(a, op, b); }

void ReduceWords(TWordArray& w, TWordStatus& result, ReductionTrace* trace) {
  struct TraceScope {
    explicit TraceScope(ReductionTrace* t) { g_trace = t; }
    ~TraceScope() { g_trace = nullptr; }
  } scope(trace);
  if (trace) trace->start = w;
  RemoveAllRedundantBrackets(w);
  while (w.count() > 1) {
    const int before = w.count();
    Group g;
    if (!FindGroup(w, g)) return;
    int to = g.to - FoldSigns(w, g);
    if (to == g.from && RemoveBracketsAround(w, g.from)) continue;  // a signed number alone
    // Reductions never add operators, so stages whose operators are absent are passed over.
    const std::uint32_t present = OperatorsIn(w, {g.from, to});
    for (const Stage& stage : kStages)
      if ((present & stage.operators) && !RunStage(w, stage, g.from, to)) return;
    if (present & (1u << opNot)) RunNot(w, g.from, to);
    if (w.count() == before) {
      RaiseScriptError(MessageText(msg::kParsingError));
      return;
    }
  }
  result = std::move(w[0]);
}
