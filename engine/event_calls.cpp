#include "engine/event_calls.h"

#include <optional>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/function_units.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "engine/script_functions.h"
#include "engine/statements.h"

namespace {

bool g_eventCallRunning = false;

// What an event call must leave as it found it.
struct SavedStep {
  std::int32_t CurrentLine, FunctionLevel, BlockDepth, ResumeFunctionLevel;
  std::uint8_t RunMode;
  bool TryFlag, ScriptCallSuspended, ShowErrors;
  QString CallExpression, CalledScriptFunction;

  static SavedStep Take() {
    const EngineState& e = Engine();
    return {e.CurrentLine, e.FunctionLevel,      e.BlockDepth,     e.ResumeFunctionLevel,
            e.RunMode,     e.TryFlag,            e.ScriptCallSuspended, RunControl().ShowErrors,
            e.CallExpression, e.CalledScriptFunction};
  }
  void Restore() const {
    EngineState& e = Engine();
    e.CurrentLine = CurrentLine;
    e.FunctionLevel = FunctionLevel;
    e.BlockDepth = BlockDepth;
    e.ResumeFunctionLevel = ResumeFunctionLevel;
    e.RunMode = RunMode;
    e.TryFlag = TryFlag;
    e.ScriptCallSuspended = ScriptCallSuspended;
    RunControl().ShowErrors = ShowErrors;
    e.CallExpression = CallExpression;
    e.CalledScriptFunction = CalledScriptFunction;
  }
};

// Runs `body` between two steps of whatever run is under way: the step state is saved before
// and restored after, views are refreshed around it and a pending error is shown in a box.
// `restoreBlocks` also brings back the whole block stack (a single line may push a block and
// never close it). Returns false without running while another event call runs.
template <typename Body>
bool RunEventCall(int interfaceCallMode, bool restoreBlocks, Body body) {
  if (g_eventCallRunning) return false;
  g_eventCallRunning = true;
  EngineState& e = Engine();
  const SavedStep saved = SavedStep::Take();
  std::optional<decltype(e.Blocks)> savedBlocks;
  if (restoreBlocks) savedBlocks = e.Blocks;
  RunControl().ShowErrors = true;
  e.ErrorText.clear();
  Host().RefreshViews();
  e.RunMode = rmRunning;  // the code runs at once
  e.ReturnBlock = EmptyBlock;
  e.InterfaceCallMode = interfaceCallMode;
  body();
  e.InterfaceCallMode = 0;
  // A handler halted at a breakpoint stays where it halted, for the user to step on; otherwise
  // the interrupted state comes back.
  const bool halted = e.RunMode == rmIdle && e.BlockDepth > saved.BlockDepth && !ErrorPending();
  if (!halted) {
    saved.Restore();
    if (savedBlocks) e.Blocks = *savedBlocks;
  }
  Host().RefreshViews();
  A_StatusBarFillingExecute();  // the nested run wrote its own line and levels there
  if (ErrorPending()) {
    Host().ShowMessageBox(e.ErrorText, MessageIcon::Error);
    e.ErrorText.clear();
  }
  g_eventCallRunning = false;
  return true;
}

// Executes `line` as one step at a temporary line after the script's end, under the indent of
// the current block. The script text and its indents are put back afterwards.
void ExecuteSingleLine(const QString& line) {
  EngineState& e = Engine();
  const qsizetype scriptSize = e.ScriptLines.size();
  const std::size_t indentSize = e.LineIndent.size();
  // Line 0 would begin a new run (variables cleared): an empty script gets a blank line first.
  if (e.ScriptLines.isEmpty()) e.ScriptLines.append(QString());
  e.LineIndent.resize(std::size_t(e.ScriptLines.size()), -1);
  e.ScriptLines.append(line);
  e.LineIndent.push_back(e.Blocks[std::size_t(e.BlockDepth)].indent);
  ScriptChanged();
  e.CurrentLine = int(e.ScriptLines.size() - 1);
  ExecuteStep();
  e.ScriptLines.resize(scriptSize);
  e.LineIndent.resize(indentSize);
  ScriptChanged();
}

}  // namespace

bool EventCallInProgress() { return g_eventCallRunning; }

bool CallScriptFunctionFromEvent(const QString& callText, const TWordArray& args, TWordStatus& result,
                                 int interfaceCallMode) {
  result = EmptyWord;
  return RunEventCall(interfaceCallMode, false, [&] { CallScriptFunction(callText, args, result); });
}

bool RunInterfaceCommand(const QString& command) {
  const QString text = command.trimmed();
  const qsizetype open = text.indexOf(u'(');
  const QString name = open < 0 ? QString() : text.left(open).trimmed();
  const TWordKind kind = name.isEmpty() ? wkNone : ClassifyFunctionName(name).kind;
  // A call of a script function (or of a name nobody knows, which the call reports) runs as a
  // call; a built-in call or any other statement runs as one line.
  const bool functionCall = open >= 0 && !text.left(open).contains(u'=') &&
                            (kind == wkScriptFunction || kind == wkNone);
  if (functionCall)
    return RunEventCall(2, false, [&] {
      TWordArray args;
      if (!SplitCall(text, nullptr, args) || ErrorPending()) return;
      TWordStatus result;
      CallScriptFunction(text, args, result);
    });
  return RunEventCall(1, true, [&] { ExecuteSingleLine(text); });
}

void StopRun() { Engine().RunMode = rmIdle; }
