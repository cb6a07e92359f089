#include "engine/script_functions.h"

#include <QHash>
#include <array>
#include <memory>

#include "engine/compiled_functions.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/line_text.h"
#include "engine/local_shared.h"
#include "engine/local_texts.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/names_state.h"
#include "engine/number_text.h"
#include "engine/recent_texts.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "engine/word_reader.h"

using namespace Qt::Literals::StringLiterals;

namespace {


// Line of the definition "function name(...)", or -1.
int SearchDefinition(const QString& lowerName) {
  const QStringList& lines = Engine().ScriptLines;
  for (int n = 1; n <= lines.size() - 2; ++n) {
    const QString text = AsciiLower(TrimControl(StripComment(lines[n])));
    if (!text.startsWith(u"function "_s)) continue;
    if (text.mid(9).section(u'(', 0, 0).trimmed() == lowerName) return n;
  }
  return -1;
}

// What a call needs of the function its text names, found once for the script it was found
// in: a script change takes a new generation, and the header line must still read the same.
struct Definition {
  std::uint64_t script = 0;
  QString lowerName;
  int line = -1;  // of the header; -1 when the script defines no such function
  QString header;
  int bodyIndent = 0;
  // The words between the brackets of the header. Reading them classifies names, so they are
  // kept for the names state they were read in.
  PerNamesState<LocalShared<const TWordArray>> formals;
  LocalShared<FunctionCompilation> compilation;

  bool Current() const {
    const EngineState& e = Engine();
    return script == e.ScriptGeneration && line >= 0 && line < e.ScriptLines.size() &&
           SameText(e.ScriptLines[line], header);
  }
};

// Call texts come from the words of kept lines: the texts met last answer first.
RecentByText<LocalShared<Definition>>& RecentDefinitions() {
  static RecentByText<LocalShared<Definition>> recent;
  return recent;
}

// The reference is good until the next call of it.
Definition& DefinitionFor(const QString& callText) {
  if (const auto* recent = RecentDefinitions().Find(callText); recent && *recent && (*recent)->Current())
    return **recent;
  static QHash<QString, LocalShared<Definition>> kept;
  if (const auto found = kept.find(callText); found != kept.end() && (*found)->Current()) {
    RecentDefinitions().Keep(callText, *found);
    return **found;
  }
  constexpr qsizetype kMaxKept = 4096;  // call texts built on the fly must not grow it without end
  if (kept.size() >= kMaxKept) kept.clear();
  const EngineState& e = Engine();
  auto definition = MakeLocalShared<Definition>();
  Definition& d = *definition;
  d.script = e.ScriptGeneration;
  d.lowerName = CalledFunctionName(callText);
  d.line = SearchDefinition(d.lowerName);
  if (d.line >= 0) {
    d.header = e.ScriptLines[d.line];
    d.bodyIndent = std::max(0, LineIndentOf(d.header)) + 2;
    d.compilation = CompilationOf(d.lowerName);
  }
  kept[callText] = definition;
  RecentDefinitions().Keep(callText, definition);
  return d;
}

LocalShared<const TWordArray> ReadFormals(Definition& d) {
  const NamesState state = NamesState::Current();
  if (const auto* found = d.formals.Find(state)) return *found;
  const QString code = StripComment(d.header);
  const qsizetype open = code.indexOf(u'('), close = code.lastIndexOf(u')');
  auto formals = MakeLocalShared<TWordArray>();
  if (open >= 0 && close > open) SplitWords(code.mid(open + 1, close - open - 1), *formals);
  if (ErrorPending()) return nullptr;
  d.formals.Keep(state, formals);
  return formals;
}

// Binds the formal parameters of the header to the arguments; false after an error.
bool BindParameters(Definition& d, const TWordArray& args, LocalShared<const TWordArray>& formals) {
  const QString& functionName = d.lowerName;
  formals = ReadFormals(d);
  if (!formals) return false;
  bool isVar = false;
  int next = 0;
  // The formals were read in the state before the first of them was declared: one that read as
  // a variable names an existing one; since then, only the variables declared can have added one.
  std::array<const QString*, 8> declared{};
  std::size_t declaredCount = 0;
  const auto exists = [&](const TWordStatus& formal) {
    if (formal.var_index >= 1) return true;
    for (std::size_t i = 0; i < declaredCount; ++i)
      if (SameName(*declared[i], formal.str)) return true;
    return declaredCount == declared.size() && FindVariable(formal.str) >= 0;
  };
  for (const TWordStatus& w : *formals) {
    if (w.kind == wkComma) {
      isVar = false;
    } else if (SameName(w.str, u"var")) {
      isVar = true;
    } else {
      if (args[next].isEmpty()) {
        RaiseScriptError(MessageText(msg::kParameterCountMismatch));
        return false;
      }
      const TWordStatus& argument = args[next++];
      DeclareParameter(functionName, w.str, argument, isVar, exists(w));
      if (ErrorPending()) return false;
      if (argument.kind != wkArrayName && declaredCount < declared.size()) declared[declaredCount++] = &w.str;
    }
  }
  if (!args[next].isEmpty()) {
    RaiseScriptError(MessageText(msg::kParameterCountMismatch));
    return false;
  }
  return true;
}

// Removes the locals of the current level, writing var parameters back. The array named by
// `value` is the result: the caller receives it as a temporary array of its level. A local
// array is handed over; an array the function does not own (a global, or a caller's array taken
// by var) is copied, so that the caller's assignment cannot take the original away.
void ReleaseLocals(TWordStatus& value) {
  EngineState& e = Engine();
  const int level = e.FunctionLevel;
  // Locals are appended while their level runs, so they are found at the end.
  int locals = std::size_t(level) < e.VariablesOfLevel.size() ? e.VariablesOfLevel[std::size_t(level)] : 0;
  for (int i = int(e.Variables.size()) - 1; i >= 0 && locals > 0; --i) {
    const Tvariable& v = e.Variables[std::size_t(i)];
    if (v.function_level != level) continue;
    --locals;
    const int target = v.parameter_var_index;
    if (target >= 1 && target <= int(e.Variables.size())) {
      Tvariable& caller = e.Variables[std::size_t(target - 1)];
      caller.kind = v.kind;
      caller.SetText(v.Text());
    }
    RemoveVariable(i);
  }
  bool renamed = false;
  QString resultName;
  if (value.kind == wkArrayName) {
    const int result = FindArray(value.str);
    if (result > 0 && (e.Array(result).function_level != level || e.Array(result).is_parameter_variable)) {
      t_arr_specification copy = e.Array(result);
      if (copy.P) copy.P = std::make_shared<TArrayElements>(*copy.P);
      copy.is_parameter_variable = false;
      copy.function_level = level - 1;
      copy.name = NewTemporaryArrayName();
      value.str = copy.name;
      e.Arrays.push_back(std::move(copy));
      renamed = true;
    } else {
      resultName = AsciiUpper(value.str);
    }
  }
  for (int i = e.ArrayCount(); i >= 1; --i) {
    t_arr_specification& a = e.Array(i);
    if (a.function_level != level) continue;
    if (resultName.isEmpty() || AsciiUpper(a.name) != resultName) {
      DeleteArray(i);
      continue;
    }
    a.function_level = level - 1;
    a.name = NewTemporaryArrayName();
    value.str = a.name;
    renamed = true;
  }
  if (renamed) SortArrays();
}

// After a nested run without RETURN (a stop line or the end): the call ends without value.
void DropCallBlock(int callDepth) {
  EngineState& e = Engine();
  TWordStatus none;
  ReleaseLocals(none);
  e.CurrentLine = e.Blocks[std::size_t(callDepth)].nLine;
  while (e.BlockDepth >= callDepth) PopBlock();
  e.FunctionLevel = std::max(0, e.FunctionLevel - 1);
}

[[gnu::noinline]] void GrowCallsByLevel(int level) {
  Engine().CompletedCallsByLevel.resize(std::size_t(level) + 1);
}

// Asked at the start and the end of every line: the growing is kept out of line.
EngineState::CompletedCalls& CallsOfLevel(int level) {
  auto& byLevel = Engine().CompletedCallsByLevel;
  if (byLevel.size() <= std::size_t(level)) GrowCallsByLevel(level);
  return byLevel[std::size_t(level)];
}

}  // namespace

namespace {

// Emptied, keeping the room taken: most lines with calls run again and again.
void Forget(EngineState::CompletedCalls& calls) {
  calls.line = -1;
  calls.expressions.clear();
  calls.values.clear();
  calls.next = 0;
}

}  // namespace

void BeginLineCalls() {
  EngineState& e = Engine();
  EngineState::CompletedCalls& calls = CallsOfLevel(e.FunctionLevel);
  if (calls.line != e.CurrentLine && !calls.values.empty()) Forget(calls);
  calls.line = e.CurrentLine;
  calls.next = 0;
}

void EndLineCalls(int level) {
  if (Engine().ScriptCallSuspended) return;
  EngineState::CompletedCalls& calls = CallsOfLevel(level);
  if (!calls.values.empty()) Forget(calls);
}

void ForgetLineCalls() { Engine().CompletedCallsByLevel.clear(); }

bool TakeCompletedCall(const QString& expression, TWordStatus& result) {
  EngineState& e = Engine();
  EngineState::CompletedCalls& calls = CallsOfLevel(e.FunctionLevel);
  if (calls.next < calls.values.size() && calls.expressions[qsizetype(calls.next)] == expression) {
    result = calls.values[calls.next++];
    return true;
  }
  // The call that just returned while single-stepping delivers its value.
  if (!e.ReturnBlock.FunctionExpression.isEmpty() && e.ReturnBlock.FunctionExpression == expression) {
    result = e.ReturnBlock.WordStatus;
    e.ReturnBlock = EmptyBlock;
    RecordCompletedCall(expression, result);
    return true;
  }
  return false;
}

void RecordCompletedCall(const QString& expression, const TWordStatus& value) {
  EngineState::CompletedCalls& calls = CallsOfLevel(Engine().FunctionLevel);
  if (calls.values.size() > calls.next) {
    calls.expressions.resize(qsizetype(calls.next));
    calls.values.resize(calls.next);
  }
  calls.expressions.append(expression);
  calls.values.push_back(value);
  ++calls.next;
}

std::size_t CompletedCallsTaken() { return CallsOfLevel(Engine().FunctionLevel).next; }

void TakeCompletedCallsFrom(std::size_t taken) { CallsOfLevel(Engine().FunctionLevel).next = taken; }

bool PushBlock() {
  EngineState& e = Engine();
  if (e.BlockDepth >= kMaxBlockDepth) {
    RaiseScriptError(LocalText(LocalTextId::BlockStackFull));
    return false;
  }
  ClearBlock(e.Blocks[std::size_t(++e.BlockDepth)]);
  return true;
}

void PopBlock() {
  EngineState& e = Engine();
  if (e.BlockDepth <= 0) return;
  ClearBlock(e.Blocks[std::size_t(e.BlockDepth--)]);
}

void CallScriptFunction(const QString& callText, const TWordArray& args, TWordStatus& result) {
  EngineState& e = Engine();
  result = EmptyWord;
  Definition& definition = DefinitionFor(callText);
  const int header = definition.line;
  if (header < 0) {
    RaiseScriptError(MessageText(msg::kScriptFunctionNotFound, {definition.lowerName}));
    return;
  }
  if (CallCompiled(*definition.compilation, args, result)) return;
  if (!PushBlock()) return;
  const int callDepth = e.BlockDepth;
  TBlockLevel& block = e.Blocks[std::size_t(callDepth)];
  block.pt = pt_ScriptFunction;
  block.nLine = e.CurrentLine;
  block.nBodyFunctionLine = header;
  block.indent = definition.bodyIndent;
  block.FunctionExpression = callText;
  block.FunctionLevel = ++e.FunctionLevel;

  LocalShared<const TWordArray> formals;
  if (!BindParameters(definition, args, formals)) return;
  e.CurrentLine = header + 1;

  if (!RunInProgress()) {
    e.ScriptCallSuspended = true;  // the stepper goes on inside the body
    return;
  }
  // A breakpoint on the body's first line halts the run before that line, as on any other
  // line (the run loop asks after each line for the next one, and the body's first line has
  // no line before it in this run).
  if (Host().HasBreakpoint(e.CurrentLine)) {
    RunControl().StopMark = true;
    e.RunMode = rmIdle;
    e.ScriptCallSuspended = true;  // the calling line waits for the return
    return;
  }
  TryToCompile(*definition.compilation, header, definition.bodyIndent, *formals);
  // The TRY of the calling line covers that line only, not the lines of the body.
  // (Every line clears the error text it starts with, so the body never sees the caller's.)
  const bool tryFlag = e.TryFlag;
  QString tryErrorText = std::move(e.TryErrorText);
  RunFrom(e.CurrentLine, RunInitiator::Engine);
  e.TryFlag = tryFlag;
  e.TryErrorText = std::move(tryErrorText);
  if (!RunInProgress() || ErrorPending()) {
    // Halted inside the body (nothing is popped): the calling line waits for the return.
    if (!ErrorPending()) e.ScriptCallSuspended = true;
    return;
  }
  if (e.BlockDepth == callDepth && e.Blocks[std::size_t(callDepth)].pt == pt_ReturnScriptFunction) {
    result = std::move(e.Blocks[std::size_t(callDepth)].WordStatus);  // the block is popped next
    e.CurrentLine = e.Blocks[std::size_t(callDepth)].nLine;
    PopBlock();
    e.FunctionLevel = std::max(0, e.FunctionLevel - 1);
  } else if (e.BlockDepth >= callDepth) {
    DropCallBlock(callDepth);
  }
  if (e.InterfaceCallMode == 2) e.InterfaceCallMode = 0;
}

QString CalledFunctionName(const QString& callText) {
  const QString name = TextBeforeBracket(callText).trimmed();
  return AsciiLower(name.isEmpty() ? callText.trimmed() : name);
}

void KeepArgument(Tvariable& parameter, const TWordStatus& argument) {
  // A small whole number passed as its shared text is kept as the number: the body reads it
  // without parsing, and its text is the same.
  if (IsNumberKind(argument.kind) && IsTabledNumberText(argument.str, argument.float_val))
    parameter.SetNumber(argument.float_val);
  else
    parameter.SetText(argument.str);
  parameter.kind = argument.kind;
}

void DeclareParameter(const QString& functionName, const QString& parameterName,
                      const TWordStatus& argument, bool isVar, bool variableExists) {
  EngineState& e = Engine();
  if (e.FunctionLevel > 0 && !IsLocalName(parameterName)) {
    RaiseScriptError(MessageText(msg::kFormalWithoutUnderscore, {parameterName}));
    return;
  }
  if (argument.kind == wkArrayName) {
    int source = FindArrayAtLevel(argument.str, IsLocalName(argument.str) ? e.FunctionLevel - 1 : 0);
    if (source == 0) source = FindArrayAtLevel(argument.str, e.FunctionLevel - 1);
    if (source == 0) {
      RaiseScriptError(MessageText(msg::kUnknownArray, {argument.str}));
      return;
    }
    if (FindArray(parameterName) > 0) {
      RaiseScriptError(MessageText(msg::kFormalParametersError, {functionName}));
      return;
    }
    t_arr_specification copy = e.Array(source);
    if (!isVar && copy.P) copy.P = std::make_shared<TArrayElements>(*copy.P);
    copy.name = parameterName;
    copy.function_level = e.FunctionLevel;
    copy.is_parameter_variable = isVar;
    e.Arrays.push_back(std::move(copy));
    SortArrays();
    return;
  }
  if (variableExists || (isVar && argument.var_index == 0)) {
    RaiseScriptError(MessageText(msg::kFormalParametersError, {functionName}));
    return;
  }
  Tvariable v;
  v.VarName = parameterName;
  KeepArgument(v, argument);
  v.function_level = e.FunctionLevel;
  v.is_parameter_variable = isVar;
  v.parameter_var_index = isVar ? argument.var_index : 0;
  AppendVariable(std::move(v));
}

void ExecuteReturn(const TWordArray& w) {
  EngineState& e = Engine();
  int callBlock = -1;
  for (int d = e.BlockDepth; d >= 0; --d)
    if (e.Blocks[std::size_t(d)].pt == pt_ScriptFunction) {
      callBlock = d;
      break;
    }
  if (callBlock < 0) {
    RaiseScriptError(MessageText(msg::kIncorrectFunctionExit));
    return;
  }
  // The value first: a call in it that is stepped into (or halted) leaves the function and its
  // locals in place; the line runs again when that call returns.
  TWordStatus value;
  if (w.count() == 2 && w[1].kind == wkArrayName) {
    value = w[1];
  } else if (w.count() > 1) {
    EvaluateRange(w, 1, w.lastIndex(), value);
  }
  if (e.ScriptCallSuspended && !ErrorPending()) return;
  while (e.BlockDepth > callBlock) PopBlock();
  TBlockLevel& block = e.Blocks[std::size_t(callBlock)];
  block.pt = pt_ReturnScriptFunction;
  if (ErrorPending()) return;
  ReleaseLocals(value);
  block.WordStatus = std::move(value);
}
