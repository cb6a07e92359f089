#include "automation/os_unit.h"

#include "automation/os_constants.h"
#include "automation/os_families.h"
#include "automation/spreadsheet/spreadsheet_functions.h"
#include "unit_support/described_unit.h"

namespace {

void CallOsFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(
      TableId::OS,
      {WindowFunctions(), InputFunctions(), MenuFunctions(), ProcessFunctions(), SpreadsheetFunctions()},
      ArgumentCountPolicy::WordsWithTextOrKind);
  table.Call(name, args, result);
}

}  // namespace

FunctionUnit& OsUnit() {
  static DescribedUnit unit(TableId::OS, CallOsFunction,
                            {.addConstants = AddOsConstants, .programEnding = EndSpreadsheetSession});
  return unit;
}
