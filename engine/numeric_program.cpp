#include "engine/numeric_program.h"

#include <array>
#include <cmath>

#include "engine/arrays.h"
#include "engine/call_words.h"
#include "engine/engine_state.h"
#include "engine/function_units.h"
#include "engine/evaluator.h"
#include "engine/local_shared.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/script_functions.h"

// Where an index of an element comes from: a number written in the line, a variable, or an
// expression of the line's words (which has a program of its own).
struct ElementIndex {
  enum From : std::uint8_t { Literal, Variable, Expression } from;
  double literal = 0;
  std::int32_t varIndex = 0;
  int first = 0, last = 0;  // the expression's words
};

// A call of a NumericFunction with one argument, or of a script function, standing where its
// call word stood.
struct NumericCall {
  bool script = false;    // a script function: called as the general evaluation calls it
  NumericFunction function;
  ElementIndex argument;  // in the call's own words
  TWordStatus literal;    // the argument as the evaluation substitutes it, when it is a literal
  LocalShared<const CallWords> words;
  QString text;           // the call word's text
};

struct NumericOperand {
  std::uint8_t slot;
  std::int32_t varIndex;  // 0 for a literal or an element
  TWordKind kind;         // a variable's or an array's kind when the program was made
  double number;          // a literal's value
  bool truth;
  QString arrayName;      // an element's array
  std::vector<ElementIndex> indexes;
  LocalShared<const NumericCall> call;  // for a call
};

namespace {

bool IsPlainValueKind(TWordKind k) { return k == wkFloat || k == wkInt || k == wkBool; }

// The direct computation of a call word's function, when it has one.
NumericFunction NumericFunctionOf(const TWordStatus& call) {
  if (!IsCallKind(call.kind) || call.kind == wkScriptFunction) return {};
  const FunctionUnit* unit = FunctionUnitFor(call.kind);
  return unit ? unit->NumericFunctionFor(TextBeforeBracket(call.str).trimmed()) : NumericFunction{};
}

constexpr std::uint32_t kTraceableOperators =
    (1u << opOr) | (1u << opAnd) | (1u << opNot) | (1u << opPlus) | (1u << opMinus) |
    (1u << opMultiply) | (1u << opDivide) | (1u << opRemainder) | (1u << opGreater) |
    (1u << opGreaterEqual) | (1u << opLess) | (1u << opLessEqual) | (1u << opEqual) |
    (1u << opNotEqual) | (1u << opShiftLeft) | (1u << opShiftRight) | (1u << opBitAnd) |
    (1u << opBitXor) | (1u << opBitOr);

// Whether the words can ever make a program: operands (numbers, truth values, variables,
// elements, calls of numeric functions or, where allowed, of script functions, but not both),
// operators and brackets only, and at least one operator.
bool MayMakeProgram(const TWordArray& words, int from, int to, bool scriptCallsAllowed = false) {
  if (to <= from || to - from + 1 > 255) return false;
  bool anOperator = false, scriptCalls = false, numericCalls = false;
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
      case wkScriptFunction:
        if (!scriptCallsAllowed) return false;
        scriptCalls = true;
        break;
      default:
        if (!NumericFunctionOf(w)) return false;
        numericCalls = true;
    }
  }
  return anOperator && !(scriptCalls && numericCalls);
}

bool HasScriptCall(const TWordArray& words, int from, int to) {
  for (int i = from; i <= to; ++i)
    if (words[i].kind == wkScriptFunction) return true;
  return false;
}

void SetValue(NumericValue& v, double number, TWordKind kind) { v = {number, false, kind}; }
void SetTruth(NumericValue& v, bool truth) { v = {truth ? 1.0 : 0.0, truth, wkBool}; }

}  // namespace

struct NumericProgram {
  std::vector<NumericOperand> operands;
  std::vector<TracedStep> steps;
  std::uint8_t resultSlot = 0;
  bool scriptCalls = false;  // some operands are script-function calls
};

struct NumericPrograms::Entry {
  int from, to;
  bool general;      // the words rule a program out
  bool scriptCalls;  // the words call script functions
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
  entries_.push_back(std::make_unique<Entry>(
      Entry{from, to, !MayMakeProgram(words, from, to, true), HasScriptCall(words, from, to), nullptr}));
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
  if (kind == wkBool) SetTruth(v, SameName(var->Text(), u"TRUE"));
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
  if (entry.general || entry.scriptCalls) return false;
  TWordStatus r;
  EvaluateGenerally(entry, words, r, evaluate);
  if (ErrorPending()) {
    Engine().ErrorText.clear();
    return false;
  }
  out = {r.float_val, r.bool_val, r.kind};
  return IsPlainValueKind(r.kind);
}

bool NumericPrograms::PartsOf(int from, int to, ProgramParts& parts) const {
  for (const auto& entry : entries_) {
    if (entry->from != from || entry->to != to) continue;
    if (!entry->program) return false;
    const NumericProgram& p = *entry->program;
    parts.operands.clear();
    for (const NumericOperand& o : p.operands) {
      using From = ProgramOperand::From;
      const From from = o.call ? (o.call->script ? From::ScriptCall : From::NumericCall)
                        : !o.arrayName.isEmpty() ? From::Element
                        : o.varIndex != 0       ? From::Variable
                                                : From::Value;
      ProgramOperand operand{from, o.slot, o.varIndex, o.kind, o.number, o.truth, o.call ? &o.call->text : nullptr};
      if (from == From::NumericCall) {
        const NumericCall& c = *o.call;
        using Argument = ProgramOperand::Argument;
        operand.function = &c.function;
        operand.argument = c.argument.from == ElementIndex::Literal    ? Argument::Literal
                           : c.argument.from == ElementIndex::Variable ? Argument::Variable
                                                                       : Argument::Expression;
        operand.literal = &c.literal;
        operand.argumentVarIndex = c.argument.varIndex;
        operand.argumentWords = &c.words->words;
        operand.argumentPrograms = &c.words->programs;
        operand.argumentFirst = c.argument.first;
        operand.argumentLast = c.argument.last;
      }
      parts.operands.push_back(operand);
    }
    parts.steps = &p.steps;
    parts.resultSlot = p.resultSlot;
    return true;
  }
  return false;
}

bool NumericPrograms::ProgramValue(const TWordArray& words, int from, int to, GeneralEvaluation evaluate,
                                   NumericValue& out) const {
  const Entry& entry = EntryFor(words, from, to);
  return entry.program && Replay(*entry.program, words, evaluate, out);
}

// The call's value as Dispatch gives it, from its argument evaluated the way the call's
// evaluation would: a literal as it stands, a variable's text and number (a null text while
// the variable's number has no text written yet), an expression's value with its text.
bool NumericPrograms::CallValue(const NumericCall& c, GeneralEvaluation evaluate, NumericValue& v) const {
  TWordStatus argument;
  switch (c.argument.from) {
    case ElementIndex::Literal:
      argument = c.literal;
      break;
    case ElementIndex::Variable: {
      const Tvariable* var = VariableAt(c.argument.varIndex);
      if (!var || !IsNumberKind(var->kind)) return false;
      argument.kind = var->kind;
      argument.float_val = var->Number();
      if (!var->TextUnwritten()) argument.str = var->Text();  // else it stays unwritten (null)
      break;
    }
    case ElementIndex::Expression: {
      NumericValue x;
      if (!c.words->programs.ProgramValue(c.words->words, c.argument.first, c.argument.last, evaluate, x) ||
          !IsNumberKind(x.kind))
        return false;
      SetNumber(argument, x.number, x.kind);
      break;
    }
  }
  double result = 0;
  if (!c.function.value(c.function, argument, result)) return false;
  Engine().CallExpression = c.text;
  SetValue(v, result, wkFloat);
  return true;
}

bool RunTracedSteps(const std::vector<TracedStep>& steps, std::uint8_t resultSlot, NumericValue* slots,
                    NumericValue& out) {
  for (const TracedStep& s : steps) {
    NumericValue& a = slots[s.left];
    const NumericValue& b = slots[s.right];
    switch (s.operation) {
      case TracedOperation::Arithmetic: {
        const double r = ArithmeticValue(a.number, s.op, b.number);
        if (ArithmeticFailed(r, s.op)) return false;
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
  out = slots[resultSlot];
  return true;
}

namespace {

// Runs the program's steps on the operands' values; false when an operation fails.
bool RunSteps(const NumericProgram& p, std::array<NumericValue, 256>& slots, NumericValue& out) {
  return RunTracedSteps(p.steps, p.resultSlot, slots.data(), out);
}

}  // namespace

bool NumericPrograms::OperandValues(const NumericProgram& p, const TWordArray& words, GeneralEvaluation evaluate,
                                    std::array<NumericValue, 256>& slots) const {
  for (const NumericOperand& o : p.operands) {
    NumericValue& v = slots[o.slot];
    if (o.call) {
      if (!o.call->script && !CallValue(*o.call, evaluate, v)) return false;
    } else if (!o.arrayName.isEmpty()) {
      if (!ElementValue(words, o, evaluate, v)) return false;
    } else if (o.varIndex == 0) {
      v = {o.number, o.truth, o.kind};
    } else if (!VariableValue(o.varIndex, o.kind, v)) {
      return false;
    }
  }
  return true;
}

bool NumericPrograms::Replay(const NumericProgram& p, const TWordArray& words, GeneralEvaluation evaluate,
                             NumericValue& out) const {
  std::array<NumericValue, 256> slots;
  return !p.scriptCalls && OperandValues(p, words, evaluate, slots) && RunSteps(p, slots, out);
}

NumericPrograms::Outcome NumericPrograms::ReplayCalling(const NumericProgram& p, const TWordArray& words,
                                                         GeneralEvaluation evaluate, NumericValue& out) const {
  std::array<NumericValue, 256> slots;
  if (!OperandValues(p, words, evaluate, slots)) return Outcome::Declined;
  const std::size_t taken = CompletedCallsTaken();
  for (const NumericOperand& o : p.operands) {
    if (!o.call || !o.call->script) continue;
    TWordStatus result;
    if (!PerformCall(wkScriptFunction, o.call->text, result)) return Outcome::Ended;
    if (result.kind != o.kind) {
      TakeCompletedCallsFrom(taken);
      return Outcome::Declined;
    }
    SetValue(slots[o.slot], result.float_val, result.kind);
  }
  if (RunSteps(p, slots, out)) return Outcome::Value;
  TakeCompletedCallsFrom(taken);
  return Outcome::Declined;
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

// The call word as an operand; nullptr when its argument is not one a program can compute:
// a single number literal, variable or numeric expression.
LocalShared<const NumericCall> MakeCall(const TWordStatus& word) {
  const NumericFunction function = NumericFunctionOf(word);
  if (!function) return nullptr;
  // Kept since the evaluation just read it.
  LocalShared<const CallWords> words = ReadCallWords(word.str);
  if (!words || words->shape != CallWords::WithArguments || words->hasElements) return nullptr;
  const TWordArray& a = words->words;
  const int last = a.lastIndex();
  for (int i = 0; i <= last; ++i)
    if (a[i].kind == wkComma) return nullptr;
  auto call = MakeLocalShared<NumericCall>();
  call->function = function;
  call->text = word.str;
  const TWordStatus& first = a[0];
  if (last == 0 && first.var_index >= 1) {
    call->argument = {ElementIndex::Variable, 0, first.var_index};
  } else if (last == 0 && IsNumberKind(first.kind)) {
    call->argument = {ElementIndex::Literal};
    call->literal = first;
  } else if (last == 0 && (first.kind == wkConst || first.kind == wkColor || first.kind == wkMouseEvent)) {
    call->argument = {ElementIndex::Literal};
    SetNumber(call->literal, first.float_val);  // as substitution writes a constant
  } else if (MayMakeProgram(a, 0, last)) {
    call->argument = {ElementIndex::Expression, 0, 0, 0, last};
  } else {
    return nullptr;
  }
  call->words = std::move(words);
  return call;
}

// The program a traced evaluation stands for, or nullptr when the evaluation is not one a
// program can repeat exactly; `never` tells that no later evaluation would do better.
std::unique_ptr<NumericProgram> MakeProgram(const TWordArray& words, int from, const ReductionTrace& t,
                                            const TWordStatus& result, bool& never) {
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
    NumericOperand o{w.slot, original.var_index, w.kind, w.float_val, w.bool_val, {}, {}, nullptr};
    if (original.kind == wkScriptFunction) {
      if (!IsNumberKind(w.kind)) {
        never = true;
        return nullptr;
      }
      auto call = MakeLocalShared<NumericCall>();
      call->script = true;
      call->text = original.str;
      o.call = std::move(call);
      p->scriptCalls = true;
    } else if (IsCallKind(original.kind)) {
      if (w.kind != wkFloat || !(o.call = MakeCall(original))) {
        never = true;
        return nullptr;
      }
    } else if (original.kind == wkArrayName && original.var_index == 0) {
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
  if (entry.program) {
    const Outcome outcome = entry.program->scriptCalls ? ReplayCalling(*entry.program, words, evaluate, r)
                            : Replay(*entry.program, words, evaluate, r) ? Outcome::Value
                                                                           : Outcome::Declined;
    if (outcome == Outcome::Ended) {
      result = EmptyWord;  // as the general evaluation leaves it
      return;
    }
    if (outcome == Outcome::Value) {
      ++g_runs;
      result = TWordStatus{};
      if (r.kind == wkBool) SetBool(result, r.truth);
      else SetNumber(result, r.number, r.kind);
      return;
    }
  }
  EvaluateGenerally(entry, words, result, evaluate);
}

bool NumericPrograms::Replayed(const TWordArray& words, int from, int to, GeneralEvaluation evaluate,
                               double& number, TWordKind& kind) const {
  NumericValue r;
  if (!ProgramValue(words, from, to, evaluate, r)) return false;
  ++g_runs;
  number = r.number;
  kind = r.kind;
  return true;
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
  bool never = false;
  entry.program = ErrorPending() ? nullptr : MakeProgram(words, entry.from, trace, result, never);
  entry.general = never;
  result.slot = 0;
}
