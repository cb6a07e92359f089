// Reduction rounds: find the innermost bracket group, fold signs, then apply the operator
// stages in their fixed order. The stages are a table: which operators, which operands, and
// the operation.
#include "engine/reduction.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool Failed() { return !Engine().ErrorText.isEmpty(); }

bool IsLiveOperator(const TWordStatus& w) { return w.kind == wkOperator && w.oper_prioritet != 0; }
bool IsNumber(const TWordStatus& w) { return IsNumberKind(w.kind); }
bool IsText(const TWordStatus& w) { return IsStringKind(w.kind); }
bool IsBool(const TWordStatus& w) { return w.kind == wkBool; }

// ---- Operations -------------------------------------------------------------------------------

void Arithmetic(const TWordStatus& a, const TWordStatus& op, const TWordStatus& b, TWordStatus& r) {
  const QChar o = op.str[0];
  double v;
  if (o == u'*') v = a.float_val * b.float_val;
  else if (o == u'/') v = a.float_val / b.float_val;
  else if (o == u'+') v = a.float_val + b.float_val;
  else if (o == u'-') v = a.float_val - b.float_val;
  else {  // "%": remainder of the truncated operands, with the dividend's sign
    const double x = std::trunc(a.float_val), y = std::trunc(b.float_val);
    const bool representable = std::fabs(x) < 9.2e18 && std::fabs(y) < 9.2e18;
    if (y == 0 || !representable) v = y == 0 ? NAN : std::fmod(x, y);
    else v = double(std::int64_t(x) % std::int64_t(y));
  }
  const bool intResult = a.kind == wkInt && b.kind == wkInt && o != u'/';
  if (!std::isfinite(v) && (o == u'*' || o == u'/' || o == u'%')) {
    // The evaluation goes on with 0; the caller finds the error afterwards.
    Engine().ErrorText = u"Devision by zero."_s;
    v = 0;
  }
  SetNumber(r, v, intResult ? wkInt : wkFloat);
}

// Bit operands must be whole and not negative; they are taken as 64-bit patterns.
bool BitOperand(const TWordStatus& w, std::uint64_t& bits) {
  const double v = w.float_val;
  if (!(v >= 0) || v != std::trunc(v)) {
    RaiseScriptError(MessageText(83, {w.str}));
    return false;
  }
  bits = v >= 18446744073709551615.0 ? UINT64_MAX : std::uint64_t(v);
  return true;
}

void Bitwise(const TWordStatus& a, const TWordStatus& op, const TWordStatus& b, TWordStatus& r) {
  std::uint64_t x, y;
  if (!BitOperand(a, x) || !BitOperand(b, y)) return;
  std::uint64_t v;
  if (op.str == u"<<") v = x << (y % 64);
  else if (op.str == u">>") v = x >> (y % 64);
  else if (op.str == u"&") v = x & y;
  else if (op.str == u"^") v = x ^ y;
  else v = x | y;
  SetNumber(r, double(v), wkInt);
}

void Concatenate(const TWordStatus& a, const TWordStatus&, const TWordStatus& b, TWordStatus& r) {
  r = EmptyWord;
  r.kind = a.kind;
  r.str = a.str + b.str;
}

void KindsDiffer(const TWordStatus&, const TWordStatus& op, const TWordStatus&, TWordStatus& r) {
  SetBool(r, op.str == u"<>");
}

template <typename T>
bool Compare(const T& x, QStringView op, const T& y) {
  if (op == u"=") return x == y;
  if (op == u"<>") return x != y;
  if (op == u"<") return x < y;
  if (op == u"<=") return x <= y;
  if (op == u">") return x > y;
  return x >= y;
}

void CompareNumbers(const TWordStatus& a, const TWordStatus& op, const TWordStatus& b, TWordStatus& r) {
  SetBool(r, Compare(a.float_val, op.str, b.float_val));
}

// A text that begins with its own quote character is compared without its quotes.
QString Dequoted(const TWordStatus& w) {
  const QChar q = w.kind == wkString ? u'\'' : u'"';
  const QString& s = w.str;
  if (s.size() < 2 || s.front() != q || s.back() != q) return s;
  QString inner = s.mid(1, s.size() - 2);
  return inner.replace(QString(2, q), QString(q));
}

void CompareTexts(const TWordStatus& a, const TWordStatus& op, const TWordStatus& b, TWordStatus& r) {
  SetBool(r, Compare(Dequoted(a).compare(Dequoted(b), Qt::CaseSensitive), op.str, 0));
}

void Logic(const TWordStatus& a, const TWordStatus& op, const TWordStatus& b, TWordStatus& r) {
  SetBool(r, op.str == u"OR" ? (a.bool_val || b.bool_val) : (a.bool_val && b.bool_val));
}

// ---- The stage table --------------------------------------------------------------------------

using Operands = bool (*)(const TWordStatus&, const TWordStatus&);
using Operation = void (*)(const TWordStatus&, const TWordStatus&, const TWordStatus&, TWordStatus&);

struct Stage {
  std::uint8_t priorityLow, priorityHigh;  // operators with a priority in this range...
  std::array<QStringView, 2> only;         // ...and, when given, with one of these texts
  Operands accepts;
  Operation apply;
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

// In this order; each stage scans the group from left to right. NOT comes last (RunNot).
const std::array<Stage, 11> kStages = {{
    {15, 15, {}, TwoNumbers, Arithmetic},                           // * / %
    {14, 14, {}, TwoNumbers, Arithmetic},                           // + -
    {13, 13, {}, TwoNumbers, Bitwise},                              // << >>
    {12, 12, {}, TwoNumbers, Bitwise},                              // &
    {11, 11, {}, TwoNumbers, Bitwise},                              // ^
    {10, 10, {}, TwoNumbers, Bitwise},                              // |
    {14, 14, {u"+"}, TwoTexts, Concatenate},                        // text + text
    {6, 6, {u"=", u"<>"}, ComparableKindsDiffer, KindsDiffer},      // = <> across kinds
    {6, 6, {}, TwoNumbers, CompareNumbers},                         // comparisons of numbers
    {6, 6, {}, TwoTexts, CompareTexts},                             // comparisons of texts
    {1, 2, {}, TwoBools, Logic},                                    // OR, AND (no precedence)
}};

bool StageOperator(const Stage& s, const TWordStatus& w) {
  if (!IsLiveOperator(w) || w.oper_prioritet < s.priorityLow || w.oper_prioritet > s.priorityHigh)
    return false;
  return s.only[0].isEmpty() || w.str == s.only[0] || w.str == s.only[1];
}

bool IsRedundantContent(TWordKind k) { return (k >= wkString && k <= wkBool) || k == wkUnknownIdentifier; }

// "(" value ")" becomes the value. Returns the number of bracket pairs removed.
int RemoveRedundantBrackets(TWordArray& w) {
  int removed = 0;
  for (int i = 0; i + 2 <= w.lastIndex(); ++i) {
    if (w[i].kind == wkOpeningBracket && IsRedundantContent(w[i + 1].kind) &&
        w[i + 2].kind == wkClosingBracket) {
      w.removeRange(i + 2, i + 2);
      w.removeRange(i, i);
      ++removed;
    }
  }
  return removed;
}

struct Group {
  int from, to;  // inclusive word range
  bool bracketed;
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
    RaiseScriptError(MessageText(47));
    return false;
  }
  g = open < 0 ? Group{0, w.lastIndex(), false} : Group{open + 1, close - 1, true};
  return true;
}

void Negate(TWordArray& w, int sign, int number) {
  TWordStatus v = w[number];
  SetNumber(v, -v.float_val, v.kind);
  w.replaceRange(sign, number, v);
}

// Folds "-" and "+" signs that belong to numbers; returns the number of words removed.
int FoldSigns(TWordArray& w, const Group& g) {
  int removed = 0;
  if (g.from + 1 <= g.to && IsLiveOperator(w[g.from]) && (w[g.from].str == u"-" || w[g.from].str == u"+") &&
      IsNumber(w[g.from + 1])) {
    if (w[g.from].str == u"-") Negate(w, g.from, g.from + 1);
    else w.removeRange(g.from, g.from);
    ++removed;
  }
  for (int i = g.from; i + 2 <= g.to - removed; ++i) {
    const std::uint8_t p = w[i].oper_prioritet;
    if (IsLiveOperator(w[i]) && (p == 6 || p == 14 || p == 15) && IsLiveOperator(w[i + 1]) &&
        w[i + 1].str == u"-" && IsNumber(w[i + 2])) {
      Negate(w, i + 1, i + 2);
      ++removed;
    }
  }
  return removed;
}

// Runs one stage over the group; returns false after an error. `to` follows removed words.
bool RunStage(TWordArray& w, const Stage& s, int from, int& to) {
  for (int i = from + 1; i < to;) {
    if (!StageOperator(s, w[i]) || !s.accepts(w[i - 1], w[i + 1])) {
      ++i;
      continue;
    }
    TWordStatus r;
    s.apply(w[i - 1], w[i], w[i + 1], r);
    if (Failed() && r.kind == wkNone) return false;
    w.replaceRange(i - 1, i + 1, r);
    to -= 2;
    to -= RemoveRedundantBrackets(w) * 2;
    i = std::max(from + 1, i - 1);  // rescan from the same position
  }
  return true;
}

void RunNot(TWordArray& w, int from, int& to) {
  for (int i = from; i < to;) {
    if (IsLiveOperator(w[i]) && w[i].str == u"NOT" && IsBool(w[i + 1])) {
      TWordStatus r;
      SetBool(r, !w[i + 1].bool_val);
      w.replaceRange(i, i + 1, r);
      to -= 1 + RemoveRedundantBrackets(w) * 2;
      i = from;
      continue;
    }
    ++i;
  }
}

}  // namespace

void ReduceWords(TWordArray& w, TWordStatus& result) {
  RemoveRedundantBrackets(w);
  while (w.count() > 1) {
    const int before = w.count();
    Group g;
    if (!FindGroup(w, g)) return;
    int to = g.to - FoldSigns(w, g);
    for (const Stage& stage : kStages)
      if (!RunStage(w, stage, g.from, to)) return;
    RunNot(w, g.from, to);
    if (w.count() == before) {
      RaiseScriptError(MessageText(49));
      return;
    }
  }
  result = w[0];
}
