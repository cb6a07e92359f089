#include "engine/numeric_program.h"

#include <array>
#include <cmath>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/messages.h"
#include "engine/names.h"

// Where an index of an element comes from: a number written in the line, a variable, or an
// expression of the line's words (which has a program of its own).
struct ElementIndex {
  enum From : std::uint8_t { Literal, Variable, Expression } from;
  double literal = 0;
  std::int32_t varIndex = 0;
  int first = 0, last = 0;  // the expression's words
};

struct NumericOperand {
  std::uint8_t slot;
  std::int32_t varIndex;  // 0 for a literal or an element
  TWordKind kind;         // a variable's or an array's kind when the program was made
  double number;          // a literal's value
  bool truth;
  QString arrayName;      // an element's array
  std::vector<ElementIndex> indexes;
};

struct NumericValue {
  double number;
  bool truth;
  TWordKind kind;
};

namespace {

bool IsPlainValueKind(TWordKind k) { return k == wkFloat || k == wkInt || k == wkBool; }

constexpr std::uint32_t kTraceableOperators =
    (1u << opOr) | (1u << opAnd) | (1u << opNot) | (1u << opPlus) | (1u << opMinus) |
    (1u << opMultiply) | (1u << opDivide) | (1u << opRemainder) | (1u << opGreater) |
    (1u << opGreaterEqual) | (1u << opLess) | (1u << opLessEqual) | (1u << opEqual) |
    (1u << opNotEqual) | (1u << opShiftLeft) | (1u << opShiftRight) | (1u << opBitAnd) |
    (1u << opBitXor) | (1u << opBitOr);

// Whether the words can ever make a program: operands (numbers, truth values, variables,
// elements), operators and brackets only, and at least one operator.
bool MayMakeProgram(const TWordArray& words, int from, int to) {
  if (to <= from || to - from + 1 > 255) return false;
  bool anOperator = false;
  for (int i = from; i <= to; ++i) {
    const TWordStatus& w = words[i];
    if (w.power != 0) return false;
    if (w.var_index >= 1) continue;
    switch (w.kind) {
      case wkFloat: case wkInt: case wkBool: case wkConst: case wkColor: case wkMouseEvent:
      case wkOpeningBracket: case wkClosingBracket:
      case wkArrayName: case wkOpeningSquareBracket: case wkClosingSquareBracket: case wkComma:
        break;
      case wkOperator:
        if (!(kTraceableOperators & (1u << w.op))) return false;
        anOperator = true;
        break;
      default:
        return false;
    }
  }
  return anOperator;
}

void SetValue(NumericValue& v, double number, TWordKind kind) { v = {number, false, kind}; }
void SetTruth(NumericValue& v, bool truth) { v = {truth ? 1.0 : 0.0, truth, wkBool}; }

}  // namespace

struct NumericProgram {
  std::vector<NumericOperand> operands;
  std::vector<TracedStep> steps;
  std::uint8_t resultSlot = 0;
};

struct NumericPrograms::Entry {
  int from, to;
  bool general;  // the words rule a program out
  std::unique_ptr<NumericProgram> program;
};

namespace {
std::uint64_t g_runs = 0;
const TWordArray* g_scopeWords = nullptr;
const NumericPrograms* g_scopePrograms = nullptr;
}  // namespace

ProgramWordsScope::ProgramWordsScope(const TWordArray* words, const NumericPrograms* programs)
    : outerWords_(g_scopeWords), outerPrograms_(g_scopePrograms) {
  g_scopeWords = words;
  g_scopePrograms = programs;
}

ProgramWordsScope::~ProgramWordsScope() {
  g_scopeWords = outerWords_;
  g_scopePrograms = outerPrograms_;
}

const NumericPrograms* ProgramWordsScope::ProgramsOf(const TWordArray& words) {
  return &words == g_scopeWords ? g_scopePrograms : nullptr;
}

std::uint64_t NumericPrograms::RunCount() { return g_runs; }

NumericPrograms::NumericPrograms() = default;
NumericPrograms::~NumericPrograms() = default;

NumericPrograms::Entry& NumericPrograms::EntryFor(const TWordArray& words, int from, int to) const {
  for (const auto& e : entries_)
    if (e->from == from && e->to == to) return *e;
  entries_.push_back(std::make_unique<Entry>(Entry{from, to, !MayMakeProgram(words, from, to), nullptr}));
  return *entries_.back();
}

namespace {

const Tvariable* VariableAt(std::int32_t varIndex) {
  const std::vector<Tvariable>& vars = Engine().Variables;
  return std::size_t(varIndex) <= vars.size() ? &vars[std::size_t(varIndex - 1)] : nullptr;
}

// The variable's value when it holds the expected kind.
bool VariableValue(std::int32_t varIndex, TWordKind kind, NumericValue& v) {
  const Tvariable* var = VariableAt(varIndex);
  if (!var || var->kind != kind) return false;
  if (kind == wkBool) SetTruth(v, SameName(var->VarVal, u"TRUE"));
  else SetValue(v, var->Number(), kind);
  return true;
}

}  // namespace

// The element as ReadElement reads it; false for anything that reading would report (the
// general way then reports it).
bool NumericPrograms::ElementValue(const TWordArray& words, const NumericOperand& o, GeneralEvaluation evaluate,
                                   NumericValue& v) const {
  EngineState& e = Engine();
  const int array = FindArray(o.arrayName);
  if (array == 0 || e.Array(array).data_type != o.kind) return false;
  std::int64_t indexes[kMaxArrayDimensions];
  int given = 0;
  for (const ElementIndex& s : o.indexes) {
    NumericValue index{0, false, wkFloat};
    if (s.from == ElementIndex::Literal) {
      index.number = s.literal;
    } else if (s.from == ElementIndex::Variable) {
      const Tvariable* var = VariableAt(s.varIndex);
      if (!var || !IsNumberKind(var->kind) || !VariableValue(s.varIndex, var->kind, index)) return false;
    } else if (!IndexValue(words, s.first, s.last, evaluate, index) || !IsNumberKind(index.kind)) {
      return false;
    }
    if (!(std::fabs(index.number) < 9e15)) return false;
    indexes[given++] = std::int64_t(RoundHalfEven(index.number));
  }
  const t_arr_specification& a = e.Array(array);
  std::int64_t offset = 0;
  if (!OffsetOfIndexes(a, indexes, given, offset)) return false;
  if (a.data_type == wkInt) SetValue(v, double(a.P->ints[std::size_t(offset)]), wkInt);
  else SetValue(v, a.P->floats[std::size_t(offset)], wkFloat);
  return true;
}

bool NumericPrograms::IndexValue(const TWordArray& words, int from, int to, GeneralEvaluation evaluate,
                                 NumericValue& out) const {
  Entry& entry = EntryFor(words, from, to);
  if (entry.program && Replay(*entry.program, words, evaluate, out)) return true;
  if (entry.general) return false;
  TWordStatus r;
  EvaluateGenerally(entry, words, r, evaluate);
  if (ErrorPending()) {
    Engine().ErrorText.clear();
    return false;
  }
  out = {r.float_val, r.bool_val, r.kind};
  return IsPlainValueKind(r.kind);
}

bool NumericPrograms::Replay(const NumericProgram& p, const TWordArray& words, GeneralEvaluation evaluate,
                             NumericValue& out) const {
  std::array<NumericValue, 256> slots;
  for (const NumericOperand& o : p.operands) {
    NumericValue& v = slots[o.slot];
    if (!o.arrayName.isEmpty()) {
      if (!ElementValue(words, o, evaluate, v)) return false;
    } else if (o.varIndex == 0) {
      v = {o.number, o.truth, o.kind};
    } else if (!VariableValue(o.varIndex, o.kind, v)) {
      return false;
    }
  }
  for (const TracedStep& s : p.steps) {
    NumericValue& a = slots[s.left];
    const NumericValue& b = slots[s.right];
    switch (s.operation) {
      case TracedOperation::Arithmetic: {
        const double r = ArithmeticValue(a.number, s.op, b.number);
        if (ArithmeticFailed(r, s.op)) return false;  // reported the general way
        SetValue(a, r, ArithmeticKind(a.kind, b.kind, s.op));
        break;
      }
      case TracedOperation::Bitwise: {
        double r;
        if (!BitwiseValue(a.number, s.op, b.number, r)) return false;
        SetValue(a, r, wkInt);
        break;
      }
      case TracedOperation::KindsDiffer: SetTruth(a, s.op == opNotEqual); break;
      case TracedOperation::CompareNumbers: SetTruth(a, CompareNumberValues(a.number, s.op, b.number)); break;
      case TracedOperation::Logic: SetTruth(a, s.op == opOr ? (a.truth || b.truth) : (a.truth && b.truth)); break;
      case TracedOperation::Negate: a.number = -a.number; break;
      case TracedOperation::Not: SetTruth(a, !a.truth); break;
      case TracedOperation::Untraceable: return false;
    }
  }
  out = slots[p.resultSlot];
  return true;
}

namespace {

// The indexes of the element whose name is words[at], as ElementOffset cuts them; false when
// one is no literal, variable or program-worthy expression.
bool ElementIndexes(const TWordArray& words, int at, std::vector<ElementIndex>& indexes) {
  if (words[at + 1].kind != wkOpeningSquareBracket) return false;
  int depth = 0, first = at + 2;
  for (int i = first; i <= words.lastIndex(); ++i) {
    const TWordKind k = words[i].kind;
    if (!EndsElementIndex(k, depth)) continue;
    if (indexes.size() == kMaxArrayDimensions) return false;
    const TWordStatus& w = words[first];
    if (first == i - 1 && w.kind == wkFloat && w.var_index == 0) {
      indexes.push_back({ElementIndex::Literal, w.float_val});
    } else if (first == i - 1 && w.var_index >= 1) {
      indexes.push_back({ElementIndex::Variable, 0, w.var_index});
    } else if (MayMakeProgram(words, first, i - 1)) {
      indexes.push_back({ElementIndex::Expression, 0, 0, first, i - 1});
    } else {
      return false;
    }
    first = i + 1;
    if (k == wkClosingSquareBracket) return true;
  }
  return false;
}

// The program a traced evaluation stands for, or nullptr when the evaluation is not one a
// program can repeat exactly.
std::unique_ptr<NumericProgram> MakeProgram(const TWordArray& words, int from, const ReductionTrace& t,
                                            const TWordStatus& result) {
  if (!t.traceable || result.slot == 0 || !IsPlainValueKind(result.kind)) return nullptr;
  // The result must be a value the reduction made, not one of the words themselves (those
  // keep their own text and fields).
  bool made = false;
  for (const TracedStep& s : t.steps)
    if (s.left == result.slot && s.operation != TracedOperation::Negate) made = true;
  if (!made) return nullptr;
  auto p = std::make_unique<NumericProgram>();
  for (const TWordStatus& w : t.start) {
    if (w.kind == wkOperator || w.kind == wkOpeningBracket || w.kind == wkClosingBracket) continue;
    if (!IsPlainValueKind(w.kind) || w.slot == 0) return nullptr;
    const int at = from + w.slot - 1;
    const TWordStatus& original = words[at];
    NumericOperand o{w.slot, original.var_index, w.kind, w.float_val, w.bool_val, {}, {}};
    if (original.kind == wkArrayName && original.var_index == 0) {
      if (w.kind == wkBool || !ElementIndexes(words, at, o.indexes)) return nullptr;
      o.arrayName = original.str;
    }
    p->operands.push_back(std::move(o));
  }
  p->steps = t.steps;
  p->resultSlot = result.slot;
  return p;
}

}  // namespace

void NumericPrograms::Evaluate(const TWordArray& words, int from, int to, TWordStatus& result,
                               GeneralEvaluation evaluate) const {
  Entry& entry = EntryFor(words, from, to);
  NumericValue r;
  if (entry.program && Replay(*entry.program, words, evaluate, r)) {
    ++g_runs;
    result = TWordStatus{};
    if (r.kind == wkBool) SetBool(result, r.truth);
    else SetNumber(result, r.number, r.kind);
    return;
  }
  EvaluateGenerally(entry, words, result, evaluate);
}

void NumericPrograms::EvaluateGenerally(Entry& entry, const TWordArray& words, TWordStatus& result,
                                        GeneralEvaluation evaluate) const {
  TWordArray w;
  w.assign(words, entry.from, entry.to);
  if (entry.general) {
    evaluate(w, result, nullptr);
    return;
  }
  for (int i = 0; i <= w.lastIndex(); ++i) w[i].slot = std::uint8_t(i + 1);
  ReductionTrace trace;
  evaluate(w, result, &trace);
  entry.program = ErrorPending() ? nullptr : MakeProgram(words, entry.from, trace, result);
  result.slot = 0;
}
