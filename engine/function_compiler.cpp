// Compiling script functions from the words and numeric programs their lines were kept with.
#include <QHash>

#include "engine/call_words.h"
#include "engine/compiled_function.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/line_cache.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/names_state.h"
#include "engine/number_text.h"
#include "engine/script_functions.h"

using namespace compiled;

namespace {

struct CompilationTable {
  std::uint64_t script = 0;
  QHash<QString, LocalShared<FunctionCompilation>> byName;
};

CompilationTable& Table() {
  static CompilationTable table;
  return table;
}

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
    const QString lowerName = CalledFunctionName(text);
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
