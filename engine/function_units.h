// The registry of function units. Each unit (general library, graphics, dialogs, database,
// system automation, FTP/UDP, Arduino, JavaScript) answers "is this name mine, and which slot"
// and carries out its calls. The engine knows units only through this interface.
#pragma once

#include <QString>

#include "engine/words.h"

// A function of one number, without side effects, that numeric programs compute directly.
struct NumericFunction {
  // The value Dispatch gives for the evaluated `argument` (a number); false when Dispatch must
  // run because the result could differ (it would report an error, say). A null text stands for
  // NumberText(argument.float_val), a text that reads as float_val exactly (a variable's number
  // whose text is not written yet).
  bool (*value)(const NumericFunction& self, const TWordStatus& argument, double& result) = nullptr;
  double (*math)(double) = nullptr;  // the computation, for families that share `value`

  explicit operator bool() const { return value != nullptr; }
};

class FunctionUnit {
 public:
  virtual ~FunctionUnit() = default;
  // The word kind of this unit's call words.
  virtual TWordKind WordKind() const = 0;
  // Slot (0 or more) of the function written `name` in any letter case, or -1.
  virtual int FindFunction(QStringView name) const = 0;
  // Checks a call against the function's description and makes `name` canonical; failures go
  // to RaiseScriptError. Units whose calls are not validated keep the default.
  virtual void Validate(QString& name, const TWordArray& args) {}
  // Carries out a call: `name` is canonical, `args` evaluated; failures go to RaiseScriptError.
  virtual void Dispatch(const QString& name, const TWordArray& args, TWordStatus& result) = 0;
  // The direct computation of the function written `name`, when it is a NumericFunction.
  virtual NumericFunction NumericFunctionFor(QStringView name) const { return {}; }

  // Lifecycle. Every hook may be left as it is.
  // Adds the unit's named constants to ConstantsTable: at registration and after every engine
  // reset, which empties the table.
  virtual void AddConstants() {}
  // A run starts from the first line of the script.
  virtual void RunStarting() {}
  // Puts the unit's own state (search positions, last process, open devices) back to start-up.
  virtual void ResetState() {}
  // The program ends: connections, players and hosts close cleanly.
  virtual void ProgramEnding() {}
};

// Installs a unit for its word kind (not owned), replacing any earlier one; its constants are
// added and every name is classified anew.
void RegisterFunctionUnit(FunctionUnit* unit);
void UnregisterFunctionUnit(TWordKind kind);
FunctionUnit* FunctionUnitFor(TWordKind kind);

// The lifecycle hooks of every registered unit.
void NotifyRunStarting();
void NotifyProgramEnding();
// After an engine reset: unit state back to start-up and the units' constants added again.
void ResetUnits();

struct FunctionClass {
  TWordKind kind = wkNone;  // wkNone: no unit knows the name
  int slot = -1;            // the unit's slot; for wkJS_Function the entry index
};

// Asks the units in the fixed order (general, graphics, database, system automation, FTP/UDP,
// Arduino, dialogs, script functions, JavaScript); the last one that knows the name wins.
FunctionClass ClassifyFunctionName(QStringView name);

// Script functions found when the script was prepared (upper-case names, exact match).
bool IsScriptFunctionName(QStringView name);
