#include "engine/engine_state.h"

#include "engine/constants.h"
#include "engine/function_units.h"
#include "engine/line_text.h"
#include "engine/run_control.h"

EngineState g_engine;

// Everything back to start-up: the tables, the run control, and the registered units' state and
// constants.
void ResetEngine() {
  // The generations keep counting up, so that nothing cached before the reset is taken after it.
  const auto script = Engine().ScriptGeneration;
  Engine() = EngineState{};
  Engine().NamesGeneration = FreshNamesGeneration();
  Engine().ScriptGeneration = script + 1;
  ResetConstantsTable();
  RunControl() = RunControlState{};
  ResetUnits();
}

QStringList KeptScript() {
  const QStringList& lines = Engine().ScriptLines;
  return QStringList(lines.cbegin(), lines.cend());
}

bool IsSameScript(const QStringList& kept) {
  const QStringList& lines = Engine().ScriptLines;
  if (lines.size() != kept.size()) return false;
  for (qsizetype i = 0; i < lines.size(); ++i)
    if (!SameText(lines.at(i), kept.at(i))) return false;
  return true;
}
