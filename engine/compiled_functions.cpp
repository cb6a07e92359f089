#include "engine/compiled_functions.h"

#include <QHash>
#include <array>
#include <memory>
#include <vector>

#include "engine/call_words.h"
#include "engine/engine_state.h"
#include "engine/event_calls.h"
#include "engine/evaluator.h"
#include "engine/line_cache.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/number_text.h"
#include "engine/numeric_program.h"
#include "engine/run_control.h"
#include "engine/run_host.h"

namespace {

constexpr int kMaxParameters = 8;
constexpr int kMaxSlots = 64;       // words of one compiled expression
constexpr int kMaxAttempts = 256;   // general calls that may find a line not read yet
constexpr int kMaxStatements = 64;  // lines of a compiled body

// A value an expression reads: a number written in the line, a parameter of the running call,
// or the result of a call of a compiled function.
struct Operand {
  enum class From : std::uint8_t { Literal, Parameter, Call } from;
  std::uint8_t slot;
  std::uint8_t parameter;
  NumericValue literal;  // a literal's value; for the others, the kind the program was made for
  int call;              // index into the function's calls
};

// A numeric program over operands, a lone parameter, a number alone, or a call alone.
struct Expression {
  enum class Shape : std::uint8_t { Program, Parameter, Literal, Call } shape = Shape::Program;
  std::uint8_t parameter = 0;
  NumericValue literal{};
  QString literalText;  // an argument's number as written
  int call = -1;
  std::vector<Operand> operands;  // literals and parameters first, then calls in their order
  std::vector<TracedStep> steps;
  std::uint8_t resultSlot = 0;
};

struct Call {
  QString text;        // the call word's text
  QString calledName;  // the text before its bracket, as a general call keeps it
  FunctionCompilation* callee = nullptr;
  LocalShared<FunctionCompilation> keptCallee;  // null for a call of the function itself
  std::vector<Expression> arguments;
};

// One line of the body. An IF's block is the statements after it, up to thenEnd.
struct Statement {
  enum class Kind : std::uint8_t { If, Return } kind;
  int line = 0;
  int indent = 0;
  Expression value;  // the condition, or the value returned
  int thenEnd = 0;
  TWordStatus word;  // RETURN of a lone parameter or number: its word as the line holds it
};

struct CompiledFunction {
  int parameters = 0;
  std::vector<Statement> body;
  std::vector<Call> calls;
};

std::uint64_t g_compiledCalls = 0;

}  // namespace

struct FunctionCompilation {
  enum class State : std::uint8_t { Pending, Compiled, Never } state = State::Pending;
  QString lowerName;
  int attempts = 0;
  std::unique_ptr<CompiledFunction> function;
};

namespace {

struct CompilationTable {
  std::uint64_t script = 0;
  QHash<QString, LocalShared<FunctionCompilation>> byName;
};

CompilationTable& Table() {
  static CompilationTable table;
  return table;
}

// ---- Compiling ---------------------------------------------------------------------------------

// Compiled; not yet (a line or a program is still to be read or made); never for this text.
enum class Verdict { Compiled, Later, Never };

class Compiler {
 public:
  Compiler(FunctionCompilation& compilation, const TWordArray& formals) : self_(compilation) {
    for (const TWordStatus& w : formals)
      if (w.kind != wkComma) formals_.push_back(&w);
  }

  Verdict Run(int header, int bodyIndent, CompiledFunction& out) {
    f_.parameters = int(formals_.size());
    if (f_.parameters > kMaxParameters) return Verdict::Never;
    for (std::size_t i = 0; i < formals_.size(); ++i) {
      if (SameName(formals_[i]->str, u"var")) return Verdict::Never;
      for (std::size_t j = 0; j < i; ++j)
        if (SameName(formals_[i]->str, formals_[j]->str)) return Verdict::Never;
    }
    const Verdict verdict = Body(header, bodyIndent);
    if (verdict == Verdict::Compiled) out = std::move(f_);
    return verdict;
  }

 private:
  // The body's lines as a sequence of IF and RETURN statements, nested by indent.
  Verdict Body(int header, int bodyIndent) {
    const EngineState& e = Engine();
    std::vector<int> openIfs;
    const auto close = [&](int indent) {
      while (!openIfs.empty() && indent < f_.body[std::size_t(openIfs.back())].indent + 2) {
        Statement& s = f_.body[std::size_t(openIfs.back())];
        const int at = openIfs.back();
        openIfs.pop_back();
        s.thenEnd = int(f_.body.size());
        if (s.thenEnd == at + 1) return false;  // an IF without a block
      }
      return true;
    };
    for (int line = header + 1; line < e.ScriptLines.size(); ++line) {
      const int indent = LineIndentAt(line);
      if (indent < 0) {
        // A call steps through blank lines before the first statement; continued lines are
        // read anew each time.
        if (line == header + 1 || CodeOf(e.ScriptLines[line]).startsWith(u'>')) return Verdict::Never;
        continue;
      }
      if (indent < bodyIndent) break;
      if (!close(indent)) return Verdict::Never;
      const int expected = openIfs.empty() ? bodyIndent : f_.body[std::size_t(openIfs.back())].indent + 2;
      if (indent != expected || f_.body.size() >= kMaxStatements) return Verdict::Never;
      const LocalShared<const LineWords> words = KeptLineWords(line);
      if (!words || words->words.isEmpty()) return Verdict::Later;
      Statement s;
      s.line = line;
      s.indent = indent;
      const TWordArray& w = words->words;
      if (w[0].kind == wkIf && w.count() >= 2) {
        s.kind = Statement::Kind::If;
        const Verdict v = Program(words->programs, 1, w.lastIndex(), false, s.value);
        if (v != Verdict::Compiled) return v;
        openIfs.push_back(int(f_.body.size()));
      } else if (w[0].kind == wkReturn && w.count() >= 2) {
        s.kind = Statement::Kind::Return;
        if (w.count() == 2 && IsLoneVariable(w[1])) {
          const int parameter = ParameterOf(w[1].var_index);
          if (parameter < 0) return Verdict::Never;
          s.value.shape = Expression::Shape::Parameter;
          s.value.parameter = std::uint8_t(parameter);
          s.word = w[1];
        } else if (w.count() == 2 && IsNumberKind(w[1].kind) && w[1].var_index == 0 && w[1].power == 0) {
          // A number alone is returned as the word itself.
          s.value.shape = Expression::Shape::Literal;
          s.value.literal = {w[1].float_val, false, w[1].kind};
          s.word = w[1];
        } else if (w.count() == 2 && w[1].kind == wkScriptFunction && w[1].power == 0) {
          // A call alone is returned as the word the call gives.
          s.value.shape = Expression::Shape::Call;
          const Verdict v = CallOf(w[1].str, s.value.call);
          if (v != Verdict::Compiled) return v;
        } else {
          const Verdict v = Program(words->programs, 1, w.lastIndex(), true, s.value);
          if (v != Verdict::Compiled) return v;
        }
      } else {
        return Verdict::Never;
      }
      f_.body.push_back(std::move(s));
    }
    if (!close(-1) || f_.body.empty()) return Verdict::Never;
    return Verdict::Compiled;
  }

  static bool IsLoneVariable(const TWordStatus& w) {
    return w.var_index >= 1 && w.power == 0 && w.kind != wkUnknownIdentifier;
  }

  // The parameter of this call that the variable is, or -1.
  int ParameterOf(std::int32_t varIndex) const {
    const EngineState& e = Engine();
    if (varIndex < 1 || std::size_t(varIndex) > e.Variables.size()) return -1;
    const Tvariable& v = e.Variables[std::size_t(varIndex - 1)];
    if (v.function_level != e.FunctionLevel) return -1;
    for (std::size_t i = 0; i < formals_.size(); ++i)
      if (SameName(v.VarName, formals_[i]->str)) return int(i);
    return -1;
  }

  Verdict Program(const NumericPrograms& programs, int from, int to, bool callsAllowed, Expression& out) {
    ProgramParts parts;
    if (!programs.PartsOf(from, to, parts)) return Verdict::Later;
    if (parts.resultSlot >= kMaxSlots) return Verdict::Never;
    for (const TracedStep& s : *parts.steps)
      if (s.left >= kMaxSlots || s.right >= kMaxSlots) return Verdict::Never;
    out.shape = Expression::Shape::Program;
    out.steps = *parts.steps;
    out.resultSlot = parts.resultSlot;
    std::vector<Operand> calls;
    for (const ProgramOperand& o : parts.operands) {
      if (o.slot >= kMaxSlots) return Verdict::Never;
      Operand operand{Operand::From::Literal, o.slot, 0, {o.number, o.truth, o.kind}, -1};
      switch (o.from) {
        case ProgramOperand::From::Value:
          break;
        case ProgramOperand::From::Variable: {
          const int parameter = ParameterOf(o.varIndex);
          if (parameter < 0 || !IsNumberKind(o.kind)) return Verdict::Never;
          operand.from = Operand::From::Parameter;
          operand.parameter = std::uint8_t(parameter);
          break;
        }
        case ProgramOperand::From::ScriptCall: {
          if (!callsAllowed) return Verdict::Never;
          const Verdict v = CallOf(*o.callText, operand.call);
          if (v != Verdict::Compiled) return v;
          operand.from = Operand::From::Call;
          calls.push_back(operand);
          continue;
        }
        default:
          return Verdict::Never;
      }
      out.operands.push_back(operand);
    }
    out.operands.insert(out.operands.end(), calls.begin(), calls.end());
    return Verdict::Compiled;
  }

  // An argument as SplitCall evaluates it.
  Verdict Argument(const CallWords& call, int from, int to, Expression& out) {
    const TWordStatus& first = call.words[from];
    if (from > to || (from == to && first.kind == wkArrayName)) return Verdict::Never;
    if (from == to && IsLoneVariable(first)) {
      const int parameter = ParameterOf(first.var_index);
      if (parameter < 0) return Verdict::Never;
      out.shape = Expression::Shape::Parameter;
      out.parameter = std::uint8_t(parameter);
      return Verdict::Compiled;
    }
    // A number whose text reads as its value: the parameter keeps that text.
    if (from == to && IsNumberKind(first.kind) && first.var_index == 0 && first.power == 0) {
      double read = 0;
      if (!ParseValueNumber(first.str, read) || read != first.float_val) return Verdict::Never;
      out.shape = Expression::Shape::Literal;
      out.literal = {first.float_val, false, first.kind};
      out.literalText = first.str;
      return Verdict::Compiled;
    }
    return Program(call.programs, from, to, false, out);
  }

  Verdict CallOf(const QString& text, int& index) {
    const LocalShared<const CallWords> words = KeptCallWords(text);
    if (!words) return Verdict::Later;
    if (words->hasElements || words->takesNames || words->callsScriptFunction ||
        (words->shape != CallWords::WithArguments && words->shape != CallWords::NoArguments))
      return Verdict::Never;
    Call call;
    call.text = text;
    call.calledName = text.left(text.indexOf(u'('));
    QString lowerName = TextBeforeBracket(text).trimmed();
    lowerName = AsciiLower(lowerName.isEmpty() ? text.trimmed() : lowerName);
    int parameters = f_.parameters;
    if (lowerName == self_.lowerName) {
      call.callee = &self_;
    } else {
      call.keptCallee = CompilationOf(lowerName);
      call.callee = call.keptCallee.get();
      if (call.callee->state == FunctionCompilation::State::Never) return Verdict::Never;
      if (call.callee->state != FunctionCompilation::State::Compiled) return Verdict::Later;
      parameters = call.callee->function->parameters;
    }
    if (words->shape == CallWords::WithArguments) {
      const TWordArray& w = words->words;
      int from = 0;
      for (int i = 0; i <= w.lastIndex() + 1; ++i) {
        if (i <= w.lastIndex() && w[i].kind != wkComma) continue;
        Expression argument;
        const Verdict v = Argument(*words, from, i - 1, argument);
        if (v != Verdict::Compiled) return v;
        call.arguments.push_back(std::move(argument));
        from = i + 1;
      }
    }
    if (int(call.arguments.size()) != parameters) return Verdict::Never;
    index = int(f_.calls.size());
    f_.calls.push_back(std::move(call));
    return Verdict::Compiled;
  }

  FunctionCompilation& self_;
  std::vector<const TWordStatus*> formals_;
  CompiledFunction f_;
};

// ---- Running -----------------------------------------------------------------------------------

// The parameters of a running call. A parameter's text is the text it was passed with, or
// (null) its number's own text.
struct Frame {
  std::array<double, kMaxParameters> values;
  std::array<TWordKind, kMaxParameters> kinds;
  std::array<const QString*, kMaxParameters> texts;
  int firstVariable;  // where the general call would have put its first parameter
};

// Where the value a call returns comes from, for the word the outermost call gives back.
struct ResultSource {
  enum class From : std::uint8_t { Number, Word, Parameter } from = From::Number;
  const TWordStatus* word = nullptr;  // the RETURN line's word (a number, or a parameter)
  const QString* text = nullptr;      // a parameter's text
  int varIndex = 0;                   // a parameter's place among the variables
};

// One compiled call with the calls inside it. Every function returns false when the general
// call must take over; nothing outside has changed then.
class CompiledRun {
 public:
  explicit CompiledRun(int blockDepth) : blockDepth_(blockDepth) {}

  // Runs the body to its RETURN; the source of the value is noted.
  bool Body(const CompiledFunction& f, const Frame& frame, NumericValue& out) {
    // The blocks the general call would push: its own, and one for each IF taken.
    if (blockDepth_ >= kMaxBlockDepth) return false;
    const int callerDepth = blockDepth_++;
    std::array<int, kMaxStatements> openEnds;
    int open = 0;
    std::size_t i = 0;
    while (i < f.body.size()) {
      const Statement& s = f.body[i];
      if (!EnterLine(s.line)) return false;
      NumericValue v;
      if (!Value(f, s.value, frame, v)) return false;
      if (s.kind == Statement::Kind::Return) {
        out = v;
        NoteSource(s, frame);
        blockDepth_ = callerDepth;
        return true;
      }
      if (v.kind != wkBool) return false;
      if (v.truth) {
        if (blockDepth_ >= kMaxBlockDepth) return false;
        ++blockDepth_;
        openEnds[std::size_t(open++)] = s.thenEnd;
        ++i;
      } else {
        i = std::size_t(s.thenEnd);
      }
      while (open > 0 && int(i) == openEnds[std::size_t(open - 1)]) {
        --open;
        --blockDepth_;
      }
    }
    return false;  // past the end of the body: the general call reports it
  }

  const ResultSource& source() const { return source_; }
  int steps() const { return steps_; }
  int lastLine() const { return lastLine_; }
  const Call* lastCall() const { return lastCall_; }

 private:
  // What the run loop does between lines: events serviced, and a halt where one is due.
  bool EnterLine(int line) {
    Host().ProcessEvents();
    if (Engine().RunMode != rmRunning || !RunControl().FastDisplay || Host().PauseRequested() ||
        Host().HasBreakpoint(line))
      return false;
    ++steps_;
    lastLine_ = line;
    return true;
  }

  // A call alone leaves the source its callee noted.
  void NoteSource(const Statement& s, const Frame& frame) {
    switch (s.value.shape) {
      case Expression::Shape::Program: source_ = {}; break;
      case Expression::Shape::Literal: source_ = {ResultSource::From::Word, &s.word}; break;
      case Expression::Shape::Parameter:
        source_ = {ResultSource::From::Parameter, &s.word, frame.texts[s.value.parameter],
                   frame.firstVariable + s.value.parameter + 1};
        break;
      case Expression::Shape::Call: break;
    }
  }

  bool Value(const CompiledFunction& f, const Expression& x, const Frame& frame, NumericValue& out) {
    switch (x.shape) {
      case Expression::Shape::Parameter:
        out = {frame.values[x.parameter], false, frame.kinds[x.parameter]};
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
        case Operand::From::Parameter:
          if (frame.kinds[o.parameter] != o.literal.kind) return false;
          slot = {frame.values[o.parameter], false, o.literal.kind};
          break;
        case Operand::From::Call:
          if (!CallValue(f, f.calls[std::size_t(o.call)], frame, slot) || slot.kind != o.literal.kind) return false;
          break;
      }
    }
    return RunTracedSteps(x.steps, x.resultSlot, slots.data(), out);
  }

  // The arguments become the parameters as DeclareParameter keeps them: a computed number as
  // the number its text reads as.
  bool CallValue(const CompiledFunction& callerFunction, const Call& call, const Frame& caller, NumericValue& out) {
    lastCall_ = &call;
    const CompiledFunction* f = call.callee->function.get();
    if (!f || call.callee->state != FunctionCompilation::State::Compiled) return false;
    Frame frame;
    frame.firstVariable = caller.firstVariable + callerFunction.parameters;
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      const Expression& argument = call.arguments[i];
      NumericValue a;
      if (!Value(callerFunction, argument, caller, a) || !IsNumberKind(a.kind)) return false;
      frame.texts[i] = argument.shape == Expression::Shape::Literal     ? &argument.literalText
                       : argument.shape == Expression::Shape::Parameter ? caller.texts[argument.parameter]
                                                                        : nullptr;
      if (argument.shape == Expression::Shape::Program && !NumberTextValue(a.number, a.number)) return false;
      frame.values[i] = a.number;
      frame.kinds[i] = a.kind;
    }
    return Body(*f, frame, out);
  }

  int blockDepth_;
  int steps_ = 0;
  int lastLine_ = -1;
  const Call* lastCall_ = nullptr;
  ResultSource source_;
};

// A run goes fast: no line is marked, no view refreshed, nothing stepped or resumed.
bool RunGoesFast() {
  const EngineState& e = Engine();
  const RunControlState& rc = RunControl();
  return e.RunMode == rmRunning && rc.FastDisplay && rc.StepOverLine < 0 && e.ResumeFunctionLevel == 0 &&
         e.InterfaceCallMode == 0 && e.ReturnBlock.FunctionExpression.isEmpty() && !EventCallInProgress() &&
         e.EvaluationDepth + kMaxBlockDepth + 8 < kMaxEvaluationDepth;
}

}  // namespace

LocalShared<FunctionCompilation> CompilationOf(const QString& lowerName) {
  CompilationTable& table = Table();
  if (table.script != Engine().ScriptGeneration) {
    // Compiled for another script text: none may run again.
    for (const auto& c : std::as_const(table.byName)) c->state = FunctionCompilation::State::Never;
    table.byName.clear();
    table.script = Engine().ScriptGeneration;
  }
  LocalShared<FunctionCompilation>& c = table.byName[lowerName];
  if (!c) {
    c = MakeLocalShared<FunctionCompilation>();
    c->lowerName = lowerName;
  }
  return c;
}

void TryToCompile(FunctionCompilation& compilation, int headerLine, int bodyIndent, const TWordArray& formals) {
  if (compilation.state != FunctionCompilation::State::Pending) return;
  if (++compilation.attempts > kMaxAttempts) {
    compilation.state = FunctionCompilation::State::Never;
    return;
  }
  auto function = std::make_unique<CompiledFunction>();
  const Verdict verdict = Compiler(compilation, formals).Run(headerLine, bodyIndent, *function);
  if (verdict == Verdict::Never) compilation.state = FunctionCompilation::State::Never;
  if (verdict != Verdict::Compiled) return;
  compilation.function = std::move(function);
  compilation.state = FunctionCompilation::State::Compiled;
}

bool CallCompiled(FunctionCompilation& compilation, const TWordArray& args, TWordStatus& result) {
  if (compilation.state != FunctionCompilation::State::Compiled || !RunGoesFast()) return false;
  EngineState& e = Engine();
  const CompiledFunction& f = *compilation.function;
  if (args.count() != f.parameters) return false;
  // The parameters as DeclareParameter keeps them: a tabled number as itself, any other
  // argument as its text, which reads as the parameter's number.
  Frame frame;
  frame.firstVariable = int(e.Variables.size());
  for (int i = 0; i < f.parameters; ++i) {
    const TWordStatus& a = args[i];
    if (!IsNumberKind(a.kind)) return false;
    double value = 0;
    if (!IsTabledNumberText(a.str, a.float_val)) ParseValueNumber(a.str, value);
    else if (!NumberTextValue(a.float_val, value)) return false;
    frame.values[std::size_t(i)] = value;
    frame.kinds[std::size_t(i)] = a.kind;
    frame.texts[std::size_t(i)] = &a.str;
  }
  CompiledRun run(e.BlockDepth);
  NumericValue out;
  if (!run.Body(f, frame, out) || !IsNumberKind(out.kind)) return false;

  // The value as the RETURN line that gave it leaves it (through calls alone, the word is handed
  // on as it is): a number alone as its word, a lone parameter as its word with the parameter's
  // value, text and place, anything else as a number written as text.
  const ResultSource& source = run.source();
  if (source.from == ResultSource::From::Number) {
    result = TWordStatus{};
    SetNumber(result, out.number, out.kind);
  } else {
    result = *source.word;
    if (source.from == ResultSource::From::Parameter) {
      result.var_index = source.varIndex;
      result.kind = out.kind;
      result.float_val = out.number;
      result.str = source.text ? *source.text : NumberText(out.number);
    }
  }
  // What the body's lines leave behind in the general call.
  e.StepCount += run.steps();
  if (const Call* last = run.lastCall()) {
    e.CallExpression = last->text;
    if (e.CalledScriptFunction != last->calledName) e.CalledScriptFunction = last->calledName;
  }
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
