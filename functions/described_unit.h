// A function unit whose names come from a description table: lookup by FindFunctionDescription,
// validation by the signatures, dispatch to the module's dispatcher.
#pragma once

#include "engine/function_units.h"
#include "functions/descriptions.h"

using UnitDispatcher = void (*)(const QString& name, const TWordArray& args, TWordStatus& result);

class DescribedUnit : public FunctionUnit {
 public:
  // A null dispatcher makes a unit whose module is not built yet: its calls are validated
  // and then answered with a clear error naming the function and the module.
  DescribedUnit(TableId table, UnitDispatcher dispatcher, QString moduleEn = {}, QString moduleRu = {});

  TWordKind WordKind() const override;
  int FindFunction(QStringView name) const override;
  void Validate(QString& name, const TWordArray& args) override;
  void Dispatch(const QString& name, const TWordArray& args, TWordStatus& result) override;

 private:
  TableId table_;
  UnitDispatcher dispatcher_;
  QString moduleEn_, moduleRu_;
};

// Registers every function unit of the library with the engine (once).
void RegisterFunctionLibrary();
