#include "engine/engine_state.h"

#include "engine/constants.h"
#include "engine/function_units.h"
#include "engine/run_control.h"

EngineState g_engine;

// Everything back to start-up: the tables, the run control, and the registered units' state and
// constants.
void ResetEngine() {
  // The generations keep counting up, so that nothing cached before the reset is taken after it.
  const auto names = Engine().NamesGeneration, script = Engine().ScriptGeneration;
  Engine() = EngineState{};
  Engine().NamesGeneration = names + 1;
  Engine().ScriptGeneration = script + 1;
  ResetConstantsTable();
  RunControl() = RunControlState{};
  ResetUnits();
}
