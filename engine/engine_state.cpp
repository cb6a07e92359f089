#include "engine/engine_state.h"

#include "engine/constants.h"

EngineState& Engine() {
  static EngineState state;
  return state;
}

void ResetEngine() {
  Engine() = EngineState{};
  ResetConstantsTable();
}
