#include "engine/event_calls.h"

#include "engine/engine_state.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "engine/script_functions.h"

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

}  // namespace

bool EventCallInProgress() { return g_eventCallRunning; }

bool CallScriptFunctionFromEvent(const QString& callText, const TWordArray& args, TWordStatus& result,
                                 int interfaceCallMode) {
  result = EmptyWord;
  if (g_eventCallRunning) return false;
  g_eventCallRunning = true;
  EngineState& e = Engine();
  const SavedStep saved = SavedStep::Take();
  RunControl().ShowErrors = true;
  Host().RefreshViews();
  e.RunMode = rmRunning;  // the body runs at once
  e.ReturnBlock = EmptyBlock;
  e.InterfaceCallMode = interfaceCallMode;
  CallScriptFunction(callText, args, result);
  // A handler halted at a breakpoint stays where it halted, for the user to step on; otherwise
  // the interrupted state comes back.
  const bool halted = e.RunMode == rmIdle && e.BlockDepth > saved.BlockDepth && !ErrorPending();
  if (!halted) saved.Restore();
  Host().RefreshViews();
  if (ErrorPending()) {
    Host().ShowMessageBox(e.ErrorText, MessageIcon::Error);
    e.ErrorText.clear();
  }
  g_eventCallRunning = false;
  return true;
}

void StopRun() { Engine().RunMode = rmIdle; }
