#include "engine/numeric_program.h"

#include <array>
#include <cmath>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/messages.h"
#include "engine/names.h"

namespace {

struct Operand {
  std::uint8_t slot;
  std::int32_t varIndex;  // 0 for a literal
  TWordKind kind;         // a variable's kind when the program was made
  double number;          // a literal's value
  bool truth;
};

struct Value {
  double number;
  bool truth;
  TWordKind kind;
};

bool IsPlainValueKind(TWordKind k) { return k == wkFloat || k == wkInt || k == wkBool; }

constexpr std::uint32_t kTraceableOperators =
    (1u << opOr) | (1u << opAnd) | (1u << opNot) | (1u << opPlus) | (1u << opMinus) |
    (1u << opMultiply) | (1u << opDivide) | (1u << opRemainder) | (1u << opGreater) |
    (1u << opGreaterEqual) | (1u << opLess) | (1u << opLessEqual) | (1u << opEqual) |
    (1u << opNotEqual) | (1u << opShiftLeft) | (1u << opShiftRight) | (1u << opBitAnd) |
    (1u << opBitXor) | (1u << opBitOr);

// Whether the words can ever make a program: operands, operators and round brackets only,
// and at least one operator.
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

void SetValue(Value& v, double number, TWordKind kind) { v = {number, false, kind}; }
void SetTruth(Value& v, bool truth) { v = {truth ? 1.0 : 0.0, truth, wkBool}; }

}  // namespace

struct NumericProgram {
  std::vector<Operand> operands;
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

NumericPrograms::Entry* NumericPrograms::Find(int from, int to) const {
  for (const auto& e : entries_)
    if (e->from == from && e->to == to) return e.get();
  return nullptr;
}

bool NumericPrograms::Run(int from, int to, TWordStatus& result) const {
  const Entry* entry = Find(from, to);
  if (!entry || !entry->program) return false;
  const NumericProgram& p = *entry->program;
  const std::vector<Tvariable>& vars = Engine().Variables;
  std::array<Value, 256> slots;
  for (const Operand& o : p.operands) {
    Value& v = slots[o.slot];
    if (o.varIndex == 0) {
      v = {o.number, o.truth, o.kind};
      continue;
    }
    if (std::size_t(o.varIndex) > vars.size()) return false;
    const Tvariable& var = vars[std::size_t(o.varIndex - 1)];
    if (var.kind != o.kind) return false;
    if (o.kind == wkBool) SetTruth(v, SameName(var.VarVal, u"TRUE"));
    else SetValue(v, var.Number(), o.kind);
  }
  for (const TracedStep& s : p.steps) {
    Value& a = slots[s.left];
    const Value& b = slots[s.right];
    switch (s.operation) {
      case TracedOperation::Arithmetic: {
        const double r = ArithmeticValue(a.number, s.op, b.number);
        // A failed operation reports its error the general way.
        if (!std::isfinite(r) && (s.op == opMultiply || s.op == opDivide || s.op == opRemainder))
          return false;
        SetValue(a, r, a.kind == wkInt && b.kind == wkInt && s.op != opDivide ? wkInt : wkFloat);
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
  const Value& r = slots[p.resultSlot];
  ++g_runs;
  result = TWordStatus{};
  if (r.kind == wkBool) SetBool(result, r.truth);
  else SetNumber(result, r.number, r.kind);
  return true;
}

namespace {

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
    const std::int32_t varIndex = words[from + w.slot - 1].var_index;
    p->operands.push_back({w.slot, varIndex, w.kind, w.float_val, w.bool_val});
  }
  p->steps = t.steps;
  p->resultSlot = result.slot;
  return p;
}

}  // namespace

void NumericPrograms::Evaluate(const TWordArray& words, int from, int to, TWordStatus& result,
                               GeneralEvaluation evaluate) const {
  Entry* entry = Find(from, to);
  if (!entry) {
    entries_.push_back(std::make_unique<Entry>(Entry{from, to, !MayMakeProgram(words, from, to), nullptr}));
    entry = entries_.back().get();
  }
  TWordArray w;
  w.assign(words, from, to);
  if (entry->general) {
    evaluate(w, result, nullptr);
    return;
  }
  for (int i = 0; i <= w.lastIndex(); ++i) w[i].slot = std::uint8_t(i + 1);
  ReductionTrace trace;
  evaluate(w, result, &trace);
  entry->program = ErrorPending() ? nullptr : MakeProgram(words, from, trace, result);
  result.slot = 0;
}
