#include "engine/function_units.h"

#include <array>

#include "engine/engine_state.h"
#include "engine/names.h"

namespace {

std::array<FunctionUnit*, kWordKindCount> g_units{};

// Classification order; a later entry overrides an earlier one.
constexpr std::array<TWordKind, 9> kClassificationOrder = {
    wkEmbeddedFunction, wkGraphFunction,  wkDBaseFunction,  wkOS_FunctionsFunction, wkFTPFunction,
    wkArduinoFunction,  wkDialogFunction, wkScriptFunction, wkJS_Function,
};

}  // namespace

void RegisterFunctionUnit(FunctionUnit* unit) {
  if (!unit) return;
  g_units[unit->WordKind()] = unit;
  unit->AddConstants();
  NamesChanged();
}

void UnregisterFunctionUnit(TWordKind kind) {
  g_units[kind] = nullptr;
  NamesChanged();
}

namespace {

template <typename Hook>
void ForEachUnit(Hook hook) {
  for (FunctionUnit* unit : g_units)
    if (unit) hook(*unit);
}

}  // namespace

void NotifyRunStarting() {
  ForEachUnit([](FunctionUnit& u) { u.RunStarting(); });
}

void NotifyProgramEnding() {
  ForEachUnit([](FunctionUnit& u) { u.ProgramEnding(); });
}

void ResetUnits() {
  ForEachUnit([](FunctionUnit& u) {
    u.ResetState();
    u.AddConstants();
  });
}

FunctionUnit* FunctionUnitFor(TWordKind kind) {
  return g_units[kind];
}

bool IsScriptFunctionName(QStringView name) {
  return Engine().ScriptFunctionNames.contains(AsciiUpper(name));
}

FunctionClass ClassifyFunctionName(QStringView name) {
  // Walking the order backwards, the first unit that knows the name is the one that wins.
  for (auto it = kClassificationOrder.rbegin(); it != kClassificationOrder.rend(); ++it) {
    if (*it == wkScriptFunction) {
      if (IsScriptFunctionName(name)) return {wkScriptFunction, 0};
      continue;
    }
    if (const FunctionUnit* unit = g_units[*it]) {
      const int slot = unit->FindFunction(name);
      if (slot >= 0) return {*it, slot};
    }
  }
  return {};
}
