#include "engine/compiled_functions.h"

#include <QHash>
#include <array>
#include <memory>
#include <vector>

#include "engine/call_words.h"
#include "engine/engine_state.h"
#include "engine/event_calls.h"
#include "engine/evaluator.h"
#include "engine/function_units.h"
#include "engine/line_cache.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/names_state.h"
#include "engine/number_text.h"
#include "engine/numeric_program.h"
#include "engine/run_control.h"
#include "engine/run_host.h"

namespace {

constexpr int kMaxParameters = 8;
constexpr int kMaxVariables = 16;   // parameters and locals of one call
constexpr int kMaxSlots = 64;       // words of one compiled expression
constexpr int kMaxAttempts = 256;   // general calls that may find a line not read yet
constexpr int kMaxStatements = 64;  // lines of a compiled body

// A value an expression reads: a number written in the line, a variable of the running call
// (a parameter or a local), the result of a call of a compiled function, or of a unit's
// NumericFunction.
struct Operand {
  enum class From : std::uint8_t { Literal, Variable, Call, NumericCall } from;
  std::uint8_t slot;
  std::uint8_t variable;
  NumericValue literal;  // a literal's value; for the others, the kind the program was made for
  int call;              // index into the function's calls or numeric calls
};

// A numeric program over operands, a lone variable, a number alone, or a call alone.
struct Expression {
  enum class Shape : std::uint8_t { Program, Variable, Literal, Call } shape = Shape::Program;
  std::uint8_t variable = 0;
  NumericValue literal{};
  TWordStatus word;  // a lone variable or number as the line holds it
  int call = -1;
  std::vector<Operand> operands;  // all but script calls first, then those in their order
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

// One line of the body. An IF's block is the statements after it up to thenEnd, its ELSE
// block (if any) the statements from there up to elseEnd.
struct Statement {
  enum class Kind : std::uint8_t { If, Return, Assign } kind;
  int line = 0;
  int indent = 0;
  Expression value;  // the condition, the value returned or the value assigned
  int thenEnd = 0, elseEnd = 0;
  bool hasElse = false;
  std::uint8_t target = 0;  // the variable assigned
  bool creates = false;     // the assignment appends the variable
};

// A call of a unit's NumericFunction with its one argument (a literal as its word).
struct NumericCallSite {
  QString text;
  NumericFunction function;
  Expression argument;
};

struct CompiledFunction {
  int parameters = 0;
  std::vector<NumericCallSite> numericCalls;
  std::vector<int> leadingBlankLines;  // a call steps through them before the first statement
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

// Compiled; not yet (a line, a program or a names change is still to be met); never for this text.
enum class Verdict { Compiled, Later, Never };

bool IsLoneNumber(const TWordStatus& w) { return IsNumberKind(w.kind) && w.var_index == 0 && w.power == 0; }

// Reads the body from the words its lines were kept with, in the names states the general call
// goes through: the state at the body's start, then one more for each local it appends. Locals
// are appended only outside IF blocks, so every line has one state whichever way the run goes.
class Compiler {
 public:
  Compiler(FunctionCompilation& compilation, const TWordArray& formals) : self_(compilation) {
    for (const TWordStatus& w : formals)
      if (w.kind != wkComma) names_.push_back(w.str);
  }

  Verdict Run(int header, int bodyIndent, CompiledFunction& out) {
    f_.parameters = int(names_.size());
    if (f_.parameters > kMaxParameters) return Verdict::Never;
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (SameName(names_[i], u"var")) return Verdict::Never;
      for (std::size_t j = 0; j < i; ++j)
        if (SameName(names_[i], names_[j])) return Verdict::Never;
    }
    firstVariable_ = int(Engine().Variables.size()) - f_.parameters;
    state_ = NamesState::Current();
    const Verdict verdict = Body(header, bodyIndent);
    if (verdict == Verdict::Compiled) out = std::move(f_);
    return verdict;
  }

 private:
  // Ends the open IF blocks deeper than the indent; false for an empty block.
  bool Close(int indent) {
    while (!open_.empty() && indent < f_.body[std::size_t(open_.back())].indent + 2) {
      const int at = open_.back();
      open_.pop_back();
      Statement& s = f_.body[std::size_t(at)];
      const int end = int(f_.body.size());
      if (s.hasElse) {
        if (end == s.thenEnd) return false;
        s.elseEnd = end;
      } else {
        if (end == at + 1) return false;
        s.thenEnd = s.elseEnd = end;
      }
      lastClosed_ = at;
    }
    return true;
  }

  Verdict Body(int header, int bodyIndent) {
    const EngineState& e = Engine();
    for (int line = header + 1; line < e.ScriptLines.size(); ++line) {
      const int indent = LineIndentAt(line);
      if (indent < 0) {
        // Continued lines are read anew each time. A call starts at the line after the header
        // and steps through blank lines before the first statement; later ones are skipped.
        if (CodeOf(e.ScriptLines[line]).startsWith(u'>')) return Verdict::Never;
        if (f_.body.empty() && open_.empty()) {
          if (f_.leadingBlankLines.size() >= kMaxStatements) return Verdict::Never;
          f_.leadingBlankLines.push_back(line);
        }
        continue;
      }
      if (indent < bodyIndent) break;
      lastClosed_ = -1;
      if (!Close(indent)) return Verdict::Never;
      const int expected = open_.empty() ? bodyIndent : f_.body[std::size_t(open_.back())].indent + 2;
      if (indent != expected || f_.body.size() >= kMaxStatements) return Verdict::Never;
      if (SameName(CodeOf(e.ScriptLines[line]), u"ELSE")) {
        // It belongs to the IF just closed at its indent; the run never stops on it.
        if (lastClosed_ < 0) return Verdict::Never;
        Statement& s = f_.body[std::size_t(lastClosed_)];
        if (s.indent != indent || s.hasElse || s.thenEnd != int(f_.body.size())) return Verdict::Never;
        s.hasElse = true;
        open_.push_back(lastClosed_);
        continue;
      }
      const LocalShared<const LineWords> words = KeptLineWords(line, state_);
      if (!words || words->words.isEmpty()) return Verdict::Later;
      Statement s;
      s.line = line;
      s.indent = indent;
      const Verdict v = Line(*words, s);
      if (v != Verdict::Compiled) return v;
      if (s.kind == Statement::Kind::If) open_.push_back(int(f_.body.size()));
      f_.body.push_back(std::move(s));
    }
    if (!Close(-1) || f_.body.empty()) return Verdict::Never;
    return Verdict::Compiled;
  }

  Verdict Line(const LineWords& words, Statement& s) {
    const TWordArray& w = words.words;
    if (w[0].kind == wkIf && w.count() >= 2) {
      s.kind = Statement::Kind::If;
      return Program(words.programs, w, 1, w.lastIndex(), false, s.value);
    }
    if (w[0].kind == wkReturn && w.count() >= 2) {
      s.kind = Statement::Kind::Return;
      if (w.count() == 2) {
        const TWordStatus& only = w[1];
        if (IsLoneVariable(only)) return LoneVariable(only, s.value);
        if (IsLoneNumber(only)) return LoneNumber(only, s.value);
        if (only.kind == wkScriptFunction && only.power == 0) {
          // A call alone: the value is the word the call gives.
          s.value.shape = Expression::Shape::Call;
          return CallOf(only.str, s.value.call);
        }
      }
      return Program(words.programs, w, 1, w.lastIndex(), true, s.value);
    }
    if (w.count() >= 3 && w[1].isOperator(opEqual) && IsLocalName(w[0].str)) return Assignment(words, s);
    return Verdict::Never;
  }

  // "_local = value": to a variable of the call, or appending a local (outside IF blocks).
  Verdict Assignment(const LineWords& words, Statement& s) {
    const TWordArray& w = words.words;
    s.kind = Statement::Kind::Assign;
    const TWordStatus& target = w[0];
    if (target.var_index >= 1) {
      const int variable = VariableOf(target.var_index, target.str);
      if (variable < 0) return Verdict::Never;
      s.target = std::uint8_t(variable);
    } else {
      if (target.kind != wkUnknownIdentifier || !open_.empty() || int(names_.size()) >= kMaxVariables)
        return Verdict::Never;
      s.creates = true;
      s.target = std::uint8_t(names_.size());
    }
    // A program's value is kept as a number; a lone variable or number as its text.
    Verdict v = Verdict::Never;
    if (w.count() == 3 && IsLoneVariable(w[2])) v = LoneVariable(w[2], s.value);
    else if (w.count() == 3 && IsLoneNumber(w[2])) v = LoneNumber(w[2], s.value);
    else if (w.count() > 3) v = Program(words.programs, w, 2, w.lastIndex(), true, s.value);
    if (v != Verdict::Compiled || !s.creates) return v;
    // The lines after it are read in the state the appended local leads to.
    const std::uint64_t next = RememberedAppend(state_.names, target.str, state_.level);
    if (next == 0) return Verdict::Later;
    state_.names = next;
    names_.push_back(target.str);
    return Verdict::Compiled;
  }

  // The variable of this call that the word's variable is (by its place among the variables
  // and its name), or -1.
  int VariableOf(std::int32_t varIndex, const QString& name) const {
    const int variable = varIndex - 1 - firstVariable_;
    if (variable < 0 || variable >= int(names_.size()) || !SameName(name, names_[std::size_t(variable)])) return -1;
    return variable;
  }

  Verdict LoneVariable(const TWordStatus& word, Expression& out) const {
    const int variable = VariableOf(word.var_index, word.str);
    if (variable < 0) return Verdict::Never;
    out.shape = Expression::Shape::Variable;
    out.variable = std::uint8_t(variable);
    out.word = word;
    return Verdict::Compiled;
  }

  // A number whose text reads as its value: a parameter or local given it keeps that text.
  static Verdict LoneNumber(const TWordStatus& word, Expression& out) {
    double read = 0;
    if (!ParseValueNumber(word.str, read) || read != word.float_val) return Verdict::Never;
    out.shape = Expression::Shape::Literal;
    out.literal = {word.float_val, false, word.kind};
    out.word = word;
    return Verdict::Compiled;
  }

  Verdict Program(const NumericPrograms& programs, const TWordArray& words, int from, int to, bool callsAllowed,
                  Expression& out) {
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
      if (o.slot >= kMaxSlots || o.slot < 1) return Verdict::Never;
      Operand operand{Operand::From::Literal, o.slot, 0, {o.number, o.truth, o.kind}, -1};
      switch (o.from) {
        case ProgramOperand::From::Value:
          break;
        case ProgramOperand::From::Variable: {
          const int variable = VariableOf(o.varIndex, words[from + o.slot - 1].str);
          if (variable < 0 || !(IsNumberKind(o.kind) || o.kind == wkBool)) return Verdict::Never;
          operand.from = Operand::From::Variable;
          operand.variable = std::uint8_t(variable);
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
        case ProgramOperand::From::NumericCall: {
          const Verdict v = NumericCallOf(o, operand.call);
          if (v != Verdict::Compiled) return v;
          operand.from = Operand::From::NumericCall;
          break;
        }
        default:
          return Verdict::Never;
      }
      out.operands.push_back(operand);
    }
    out.operands.insert(out.operands.end(), calls.begin(), calls.end());
    return Verdict::Compiled;
  }

  // A numeric call's argument as the program's call hands it over.
  Verdict NumericCallOf(const ProgramOperand& o, int& index) {
    NumericCallSite site;
    site.text = *o.callText;
    site.function = *o.function;
    Verdict v = Verdict::Compiled;
    switch (o.argument) {
      case ProgramOperand::Argument::Literal:
        site.argument.shape = Expression::Shape::Literal;
        site.argument.word = *o.literal;
        break;
      case ProgramOperand::Argument::Variable: {
        const int variable = VariableOf(o.argumentVarIndex, (*o.argumentWords)[0].str);
        if (variable < 0) return Verdict::Never;
        site.argument.shape = Expression::Shape::Variable;
        site.argument.variable = std::uint8_t(variable);
        break;
      }
      case ProgramOperand::Argument::Expression:
        v = Program(*o.argumentPrograms, *o.argumentWords, o.argumentFirst, o.argumentLast, false, site.argument);
        break;
    }
    if (v != Verdict::Compiled) return v;
    index = int(f_.numericCalls.size());
    f_.numericCalls.push_back(std::move(site));
    return Verdict::Compiled;
  }

  // An argument as SplitCall evaluates it.
  Verdict Argument(const CallWords& call, int from, int to, Expression& out) {
    const TWordStatus& first = call.words[from];
    if (from > to || (from == to && first.kind == wkArrayName)) return Verdict::Never;
    if (from == to && IsLoneVariable(first)) return LoneVariable(first, out);
    if (from == to && IsLoneNumber(first)) return LoneNumber(first, out);
    return Program(call.programs, call.words, from, to, false, out);
  }

  Verdict CallOf(const QString& text, int& index) {
    const LocalShared<const CallWords> words = KeptCallWords(text, state_);
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
  std::vector<QString> names_;  // the parameters, then the locals as they are appended
  int firstVariable_ = 0;       // the index of the first parameter among the variables
  NamesState state_;
  std::vector<int> open_;       // the IF statements whose blocks are open
  int lastClosed_ = -1;         // the IF whose block the current line closed
  CompiledFunction f_;
};

// ---- Running -----------------------------------------------------------------------------------

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
  frame.variables = f.parameters;
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
