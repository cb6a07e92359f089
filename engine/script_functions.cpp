#include "engine/script_functions.h"

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/line_text.h"
#include "engine/local_texts.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/run_control.h"
#include "engine/word_reader.h"

using namespace Qt::Literals::StringLiterals;

namespace {


// Line of the definition "function name(...)", or -1.
int FindDefinition(const QString& lowerName) {
  const QStringList& lines = Engine().ScriptLines;
  for (int n = 1; n <= lines.size() - 2; ++n) {
    const QString text = AsciiLower(TrimControl(StripComment(lines[n])));
    if (!text.startsWith(u"function "_s)) continue;
    if (text.mid(9).section(u'(', 0, 0).trimmed() == lowerName) return n;
  }
  return -1;
}

// Binds the formal parameters of the header to the arguments; false after an error.
bool BindParameters(const QString& functionName, const QString& header, const TWordArray& args) {
  const QString code = StripComment(header);
  const qsizetype open = code.indexOf(u'('), close = code.lastIndexOf(u')');
  TWordArray formals;
  if (open >= 0 && close > open) SplitWords(code.mid(open + 1, close - open - 1), formals);
  if (ErrorPending()) return false;
  bool isVar = false;
  int next = 0;
  for (const TWordStatus& w : formals) {
    if (w.kind == wkComma) {
      isVar = false;
    } else if (SameName(w.str, u"var")) {
      isVar = true;
    } else {
      if (args[next].isEmpty()) {
        RaiseScriptError(MessageText(51));
        return false;
      }
      DeclareParameter(functionName, w.str, args[next++], isVar);
      if (ErrorPending()) return false;
    }
  }
  if (!args[next].isEmpty()) {
    RaiseScriptError(MessageText(51));
    return false;
  }
  return true;
}

// Removes the locals of the current level, writing var parameters back; an array named by
// `value` is the result and becomes a temporary array of the caller's level.
void ReleaseLocals(TWordStatus& value) {
  EngineState& e = Engine();
  const int level = e.FunctionLevel;
  for (int i = int(e.Variables.size()) - 1; i >= 0; --i) {
    const Tvariable& v = e.Variables[std::size_t(i)];
    if (v.function_level != level) continue;
    const int target = v.parameter_var_index;
    if (target >= 1 && target <= int(e.Variables.size())) {
      Tvariable& caller = e.Variables[std::size_t(target - 1)];
      caller.kind = v.kind;
      caller.VarVal = v.VarVal;
    }
    RemoveVariable(i);
  }
  const QString resultName = value.kind == wkArrayName ? AsciiUpper(value.str) : QString();
  bool renamed = false;
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

}  // namespace

bool PushBlock() {
  EngineState& e = Engine();
  if (e.BlockDepth >= kMaxBlockDepth) {
    RaiseScriptError(LocalText(LocalTextId::BlockStackFull));
    return false;
  }
  e.Blocks[std::size_t(++e.BlockDepth)] = EmptyBlock;
  return true;
}

void PopBlock() {
  EngineState& e = Engine();
  if (e.BlockDepth <= 0) return;
  e.Blocks[std::size_t(e.BlockDepth--)] = EmptyBlock;
}

void CallScriptFunction(const QString& callText, const TWordArray& args, TWordStatus& result) {
  EngineState& e = Engine();
  result = EmptyWord;
  QString name = callText.section(u'(', 0, 0).trimmed();
  if (name.isEmpty()) name = callText.trimmed();
  name = AsciiLower(name);

  const int header = FindDefinition(name);
  if (header < 0) {
    RaiseScriptError(MessageText(50, {name}));
    return;
  }
  if (!PushBlock()) return;
  const int callDepth = e.BlockDepth;
  TBlockLevel& block = e.Blocks[std::size_t(callDepth)];
  block.pt = pt_ScriptFunction;
  block.nLine = e.CurrentLine;
  block.nBodyFunctionLine = header;
  block.indent = std::max(0, LineIndentOf(e.ScriptLines[header])) + 2;
  block.FunctionExpression = callText;
  block.FunctionLevel = ++e.FunctionLevel;

  if (!BindParameters(name, e.ScriptLines[header], args)) return;
  e.CurrentLine = header + 1;

  if (!RunInProgress()) {
    e.ScriptCallSuspended = true;  // the stepper goes on inside the body
    return;
  }
  RunFrom(e.CurrentLine, RunInitiator::Engine);
  if (!RunInProgress() || ErrorPending()) return;  // halted inside the body: nothing is popped
  if (e.BlockDepth == callDepth && e.Blocks[std::size_t(callDepth)].pt == pt_ReturnScriptFunction) {
    result = e.Blocks[std::size_t(callDepth)].WordStatus;
    e.CurrentLine = e.Blocks[std::size_t(callDepth)].nLine;
    PopBlock();
    e.FunctionLevel = std::max(0, e.FunctionLevel - 1);
  } else if (e.BlockDepth >= callDepth) {
    DropCallBlock(callDepth);
  }
  if (e.InterfaceCallMode == 2) e.InterfaceCallMode = 0;
}

void DeclareParameter(const QString& functionName, const QString& parameterName,
                      const TWordStatus& argument, bool isVar) {
  EngineState& e = Engine();
  if (e.FunctionLevel > 0 && !IsLocalName(parameterName)) {
    RaiseScriptError(MessageText(126, {parameterName}));
    return;
  }
  if (argument.kind == wkArrayName) {
    int source = FindArrayAtLevel(argument.str, IsLocalName(argument.str) ? e.FunctionLevel - 1 : 0);
    if (source == 0) source = FindArrayAtLevel(argument.str, e.FunctionLevel - 1);
    if (source == 0) {
      RaiseScriptError(MessageText(147, {argument.str}));
      return;
    }
    if (FindArray(parameterName) > 0) {
      RaiseScriptError(MessageText(128, {functionName}));
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
  if (FindVariable(parameterName) >= 0 || (isVar && argument.var_index == 0)) {
    RaiseScriptError(MessageText(128, {functionName}));
    return;
  }
  Tvariable v;
  v.VarName = parameterName;
  v.VarVal = argument.str;
  v.kind = argument.kind;
  v.function_level = e.FunctionLevel;
  v.is_parameter_variable = isVar;
  v.parameter_var_index = isVar ? argument.var_index : 0;
  AppendVariable(v);
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
    RaiseScriptError(MessageText(127));
    return;
  }
  while (e.BlockDepth > callBlock) PopBlock();
  TBlockLevel& block = e.Blocks[std::size_t(callBlock)];
  block.pt = pt_ReturnScriptFunction;

  TWordStatus value;
  if (w.count() == 2 && w[1].kind == wkArrayName) {
    value = w[1];
  } else if (w.count() > 1) {
    EvaluateRange(w, 1, w.lastIndex(), value);
    if (ErrorPending()) return;
  }
  ReleaseLocals(value);
  block.WordStatus = value;
}
