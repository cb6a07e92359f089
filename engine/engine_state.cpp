#include "engine/engine_state.h"

#include "engine/constants.h"

EngineState g_engine;

void ResetEngine() {
  // The generations keep counting up, so that nothing cached before the reset is taken after it.
  const auto names = Engine().NamesGeneration, script = Engine().ScriptGeneration;
  Engine() = EngineState{};
  Engine().NamesGeneration = names + 1;
  Engine().ScriptGeneration = script + 1;
  ResetConstantsTable();
}
