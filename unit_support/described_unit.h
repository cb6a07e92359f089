// A function unit whose names come from a description table: lookup by FindFunctionDescription,
// validation by the signatures, dispatch to the module's dispatcher, and the module's lifecycle
// hooks.
#pragma once

#include "engine/function_units.h"
#include "unit_support/descriptions.h"

using UnitDispatcher = void (*)(const QString& name, const TWordArray& args, TWordStatus& result);

// The lifecycle of a module (see FunctionUnit); a null hook does nothing.
struct UnitHooks {
  void (*addConstants)() = nullptr;
  void (*runStarting)() = nullptr;
  void (*resetState)() = nullptr;
  void (*programEnding)() = nullptr;
  // The module's functions of one number that may be computed directly, by their description.
  NumericFunction (*numericFunction)(const T_FunctionDescription& function) = nullptr;
};

class DescribedUnit : public FunctionUnit {
 public:
  // A null dispatcher makes a unit whose module is not built yet: its calls are validated
  // and then answered with a clear error naming the function and the module.
  DescribedUnit(TableId table, UnitDispatcher dispatcher, UnitHooks hooks = {});
  DescribedUnit(TableId table, QString moduleEn, QString moduleRu);

  TWordKind WordKind() const override;
  int FindFunction(QStringView name) const override;
  void Validate(QString& name, const TWordArray& args) override;
  void Dispatch(const QString& name, const TWordArray& args, TWordStatus& result) override;
  NumericFunction NumericFunctionFor(QStringView name) const override;
  void AddConstants() override;
  void RunStarting() override;
  void ResetState() override;
  void ProgramEnding() override;

 private:
  TableId table_;
  UnitDispatcher dispatcher_ = nullptr;
  UnitHooks hooks_;
  QString moduleEn_, moduleRu_;
};
