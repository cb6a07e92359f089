// Running calls of compiled script functions, and handing them back to the general call.
#include "engine/compiled_function.h"
#include "engine/engine_state.h"
#include "engine/event_calls.h"
#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "engine/script_functions.h"

using namespace compiled;

namespace {

std::uint64_t g_compiledCalls = 0;

// The variables of a running call. A variable's text is the text it was given, or (null) its
// number's own text.
struct Frame {
  std::array<double, kMaxVariables> values;
  std::array<TWordKind, kMaxVariables> kinds;
  std::array<const QString*, kMaxVariables> texts;
  int firstVariable;  // where the general call would have put its first parameter
  int variables;      // how many the general call would have appended by now
};

// Where the value a call returns comes from, for the word the outermost call gives back.
struct ResultSource {
  enum class From : std::uint8_t { Number, Word, Variable } from = From::Number;
  const TWordStatus* word = nullptr;  // the RETURN line's word (a number, or a variable)
  const QString* text = nullptr;      // a variable's text
  int varIndex = 0;                   // a variable's place among the variables
};

// One compiled call with the calls inside it. Every function returns false when the general
// call must take over; nothing outside has changed then.
class CompiledRun {
 public:
  explicit CompiledRun(int blockDepth) : mode_(Engine().RunMode), blockDepth_(blockDepth) {}

  // Runs the body to its RETURN; the source of the value is noted.
  bool Body(const CompiledFunction& f, Frame& frame, NumericValue& out) {
    // The blocks the general call would push: its own, and one for each IF or ELSE block entered.
    if (blockDepth_ >= kMaxBlockDepth) return false;
    const int callerDepth = blockDepth_++;
    struct OpenBlock {
      int end, next;  // the statement that ends it, and the one to go on with
    };
    std::array<OpenBlock, kMaxStatements> open;
    int opened = 0;
    for (const int line : f.leadingBlankLines)
      if (!EnterLine(line)) return false;
    std::size_t i = 0;
    while (i < f.body.size()) {
      const Statement& s = f.body[i];
      if (!EnterLine(s.line)) return false;
      NumericValue v;
      if (!Value(f, s.value, frame, v)) return false;
      switch (s.kind) {
        case Statement::Kind::Return:
          out = v;
          NoteSource(s.value, frame);
          blockDepth_ = callerDepth;
          return true;
        case Statement::Kind::Assign:
          if (!Assign(s, v, frame)) return false;
          ++i;
          break;
        case Statement::Kind::If:
          if (v.kind != wkBool) return false;
          if (v.truth || s.hasElse) {
            if (blockDepth_ >= kMaxBlockDepth) return false;
            ++blockDepth_;
            open[std::size_t(opened++)] = v.truth ? OpenBlock{s.thenEnd, s.elseEnd} : OpenBlock{s.elseEnd, s.elseEnd};
            i = v.truth ? i + 1 : std::size_t(s.thenEnd);
          } else {
            i = std::size_t(s.thenEnd);
          }
          break;
      }
      while (opened > 0 && int(i) == open[std::size_t(opened - 1)].end) {
        i = std::size_t(open[std::size_t(--opened)].next);
        --blockDepth_;
      }
    }
    return false;  // past the end of the body: the general call reports it
  }

  const ResultSource& source() const { return source_; }
  int steps() const { return steps_; }
  int lastLine() const { return lastLine_; }
  const QString* lastCallText() const { return lastCallText_; }
  const Call* lastScriptCall() const { return lastScriptCall_; }
  int lastAssigned() const { return lastAssigned_; }

 private:
  // What the run loop does between lines: events serviced, and a halt where one is due.
  bool EnterLine(int line) {
    Host().ProcessEvents();
    if (Engine().RunMode != mode_ || !RunControl().FastDisplay || Host().PauseRequested() ||
        Host().HasBreakpoint(line))
      return false;
    ++steps_;
    lastLine_ = line;
    return true;
  }

  // As ExecuteAssignment stores it: a program's number as the number its text reads as (a truth
  // value as its text), a lone variable or number with its text.
  bool Assign(const Statement& s, const NumericValue& v, Frame& frame) {
    if (s.value.shape == Expression::Shape::Call) return false;
    double value = v.number;
    const QString* text = nullptr;
    if (s.value.shape == Expression::Shape::Program) {
      if (v.kind != wkBool && !NumberTextValue(v.number, value)) return false;
    } else {
      text = s.value.shape == Expression::Shape::Literal ? &s.value.word.str : frame.texts[s.value.variable];
    }
    if (s.creates) ++frame.variables;
    frame.values[s.target] = value;
    frame.kinds[s.target] = v.kind;
    frame.texts[s.target] = text;
    lastAssigned_ = frame.firstVariable + s.target + 1;
    return true;
  }

  // A call alone leaves the source its callee noted.
  void NoteSource(const Expression& value, const Frame& frame) {
    switch (value.shape) {
      case Expression::Shape::Program: source_ = {}; break;
      case Expression::Shape::Literal: source_ = {ResultSource::From::Word, &value.word}; break;
      case Expression::Shape::Variable:
        source_ = {ResultSource::From::Variable, &value.word, frame.texts[value.variable],
                   frame.firstVariable + value.variable + 1};
        break;
      case Expression::Shape::Call: break;
    }
  }

  bool Value(const CompiledFunction& f, const Expression& x, const Frame& frame, NumericValue& out) {
    switch (x.shape) {
      case Expression::Shape::Variable:
        out = {frame.values[x.variable], frame.values[x.variable] != 0, frame.kinds[x.variable]};
        return true;
      case Expression::Shape::Literal:
        out = x.literal;
        return true;
      case Expression::Shape::Call:
        return CallValue(f, f.calls[std::size_t(x.call)], frame, out);
      case Expression::Shape::Program:
        break;
    }
    std::array<NumericValue, kMaxSlots> slots;
    for (const Operand& o : x.operands) {
      NumericValue& slot = slots[o.slot];
      switch (o.from) {
        case Operand::From::Literal:
          slot = o.literal;
          break;
        case Operand::From::Variable:
          if (frame.kinds[o.variable] != o.literal.kind) return false;
          slot = {frame.values[o.variable], frame.values[o.variable] != 0, o.literal.kind};
          break;
        case Operand::From::Call:
          if (!CallValue(f, f.calls[std::size_t(o.call)], frame, slot) || slot.kind != o.literal.kind) return false;
          break;
        case Operand::From::NumericCall:
          if (!NumericCallValue(f, f.numericCalls[std::size_t(o.call)], frame, slot)) return false;
          break;
      }
    }
    return RunTracedSteps(x.steps, x.resultSlot, slots.data(), out);
  }

  // As the program's CallValue computes it: the argument a literal word, a variable's number
  // with its text (null for a number's own text), an expression's number written as text.
  bool NumericCallValue(const CompiledFunction& f, const NumericCallSite& site, const Frame& frame, NumericValue& out) {
    const Expression& x = site.argument;
    TWordStatus argument;
    if (x.shape == Expression::Shape::Literal) {
      argument = x.word;
    } else {
      NumericValue a;
      if (!Value(f, x, frame, a) || !IsNumberKind(a.kind)) return false;
      if (x.shape == Expression::Shape::Program) {
        SetNumber(argument, a.number, a.kind);
      } else {
        argument.kind = a.kind;
        argument.float_val = a.number;
        if (const QString* text = frame.texts[x.variable]) argument.str = *text;
      }
    }
    double result = 0;
    if (!site.function.value(site.function, argument, result)) return false;
    lastCallText_ = &site.text;
    out = {result, false, wkFloat};
    return true;
  }

  // The arguments become the parameters as DeclareParameter keeps them: a computed number as
  // the number its text reads as.
  bool CallValue(const CompiledFunction& callerFunction, const Call& call, const Frame& caller, NumericValue& out) {
    lastScriptCall_ = &call;
    lastCallText_ = &call.text;
    const CompiledFunction* f = call.callee->function.get();
    if (!f || call.callee->state != FunctionCompilation::State::Compiled) return false;
    Frame frame;
    frame.firstVariable = caller.firstVariable + caller.variables;
    frame.variables = f->parameters;
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      const Expression& argument = call.arguments[i];
      NumericValue a;
      if (!Value(callerFunction, argument, caller, a) || !IsNumberKind(a.kind)) return false;
      frame.texts[i] = argument.shape == Expression::Shape::Literal    ? &argument.word.str
                       : argument.shape == Expression::Shape::Variable ? caller.texts[argument.variable]
                                                                       : nullptr;
      if (argument.shape == Expression::Shape::Program && !NumberTextValue(a.number, a.number)) return false;
      frame.values[i] = a.number;
      frame.kinds[i] = a.kind;
    }
    return Body(*f, frame, out);
  }

  std::uint8_t mode_;  // the run mode it started in
  int blockDepth_;
  int steps_ = 0;
  int lastLine_ = -1;
  int lastAssigned_ = 0;
  const QString* lastCallText_ = nullptr;  // the call made last, script or numeric
  const Call* lastScriptCall_ = nullptr;
  ResultSource source_;
};

// A run goes fast: no line is marked, no view refreshed, nothing stepped. A continued run
// switched to fast display goes fast too, except in the calls it resumed: their RETURNs run
// the calling lines again (a call from a resumed call is deeper than those).
bool RunGoesFast() {
  const EngineState& e = Engine();
  const RunControlState& rc = RunControl();
  return (e.RunMode == rmRunning || e.RunMode == rmContinuing) && rc.FastDisplay && rc.StepOverLine < 0 &&
         e.ResumeFunctionLevel <= e.FunctionLevel &&
         e.InterfaceCallMode == 0 && e.ReturnBlock.FunctionExpression.isEmpty() && !EventCallInProgress() &&
         e.EvaluationDepth + kMaxBlockDepth + 8 < kMaxEvaluationDepth;
}

}  // namespace

bool CallCompiled(FunctionCompilation& compilation, const TWordArray& args, TWordStatus& result) {
  if (compilation.state != FunctionCompilation::State::Compiled || !RunGoesFast()) return false;
  EngineState& e = Engine();
  const CompiledFunction& f = *compilation.function;
  if (args.count() != f.parameters) return false;
  // Each parameter holds the number the parameter DeclareParameter makes would hold.
  Frame frame;
  frame.firstVariable = int(e.Variables.size());
  frame.variables = f.parameters;
  for (int i = 0; i < f.parameters; ++i) {
    const TWordStatus& a = args[i];
    if (!IsNumberKind(a.kind)) return false;
    Tvariable parameter;
    KeepArgument(parameter, a);
    frame.values[std::size_t(i)] = parameter.Number();
    frame.kinds[std::size_t(i)] = a.kind;
    frame.texts[std::size_t(i)] = &a.str;
  }
  CompiledRun run(e.BlockDepth);
  NumericValue out;
  if (!run.Body(f, frame, out) || !IsNumberKind(out.kind)) return false;

  // The value as the RETURN line that gave it leaves it (through calls alone, the word is handed
  // on as it is): a number alone as its word, a lone variable as its word with the variable's
  // value, text and place, anything else as a number written as text.
  const ResultSource& source = run.source();
  if (source.from == ResultSource::From::Number) {
    result = TWordStatus{};
    SetNumber(result, out.number, out.kind);
  } else {
    result = *source.word;
    if (source.from == ResultSource::From::Variable) {
      result.var_index = source.varIndex;
      result.kind = out.kind;
      result.float_val = out.number;
      result.str = source.text ? *source.text : NumberText(out.number);
    }
  }
  // What the body's lines leave behind in the general call.
  e.StepCount += run.steps();
  if (const QString* last = run.lastCallText()) e.CallExpression = *last;
  if (const Call* last = run.lastScriptCall(); last && e.CalledScriptFunction != last->calledName)
    e.CalledScriptFunction = last->calledName;
  if (run.lastAssigned() != 0) e.LastAssignedVariable = run.lastAssigned();
  e.AssignTarget = 0;
  e.ChangedArrayName.clear();
  e.ChangedArrayLevel = -1;
  e.ChangedArrayIndex = -1;
  e.ScriptCallSuspended = false;
  e.StepWarning = false;
  RunControl().ExecutingLine = run.lastLine();
  RunControl().StopMark = false;
  ++g_compiledCalls;
  return true;
}

std::uint64_t CompiledCallCount() { return g_compiledCalls; }
