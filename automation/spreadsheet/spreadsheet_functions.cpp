#include "automation/spreadsheet/spreadsheet_functions.h"

#include <algorithm>
#include <climits>

#include "automation/spreadsheet/calc_session.h"
#include "automation/spreadsheet/spreadsheet_families.h"

namespace {

// Every spreadsheet function first checks that LibreOffice Calc can be used here at all.
template <UnitHandler Handler>
void WhereCalcIsAvailable(GeneralCall& call) {
  if (const QString reason = CalcSession::Unavailable(); !reason.isEmpty()) return call.failText(reason);
  Handler(call);
}

constexpr UnitFunctionEntry kSpreadsheetFunctions[] = {
    {u"Excel_Open", WhereCalcIsAvailable<ExcelOpen>},
    {u"Excel_Connect", WhereCalcIsAvailable<ExcelConnect>},
    {u"Excel_SaveAndClose", WhereCalcIsAvailable<ExcelSaveAndClose>},
    {u"Excel_CloseAndDiscard", WhereCalcIsAvailable<ExcelCloseAndDiscard>},
    {u"Excel_Worksheets_Select", WhereCalcIsAvailable<ExcelWorksheetsSelect>},
    {u"Excel_Worksheets_Add", WhereCalcIsAvailable<ExcelWorksheetsAdd>},
    {u"Excel_Cell_SetValue", WhereCalcIsAvailable<ExcelCellSetValue>},
    {u"Excel_Cell_GetValue", WhereCalcIsAvailable<ExcelCellGetValue>},
    {u"Excel_Range_SetValues", WhereCalcIsAvailable<ExcelRangeSetValues>},
    {u"Excel_Range_GetValues", WhereCalcIsAvailable<ExcelRangeGetValues>},
};

}  // namespace

bool RequireSpreadsheetApp(GeneralCall& call) {
  if (Calc().attached()) return true;
  call.fail(224);
  return false;
}

int CellIndex(const GeneralCall& call, int n) { return int(std::clamp<qint64>(call.integer(n), INT_MIN, INT_MAX)); }

std::span<const UnitFunctionEntry> SpreadsheetFunctions() { return kSpreadsheetFunctions; }

void EndSpreadsheetSession() {
  if (CalcSession::Unavailable().isEmpty()) Calc().ProgramEnding();
}
