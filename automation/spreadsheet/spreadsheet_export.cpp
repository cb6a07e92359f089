#include "automation/spreadsheet/spreadsheet_export.h"

#include "automation/spreadsheet/spreadsheet_attach.h"

QString SpreadsheetUnavailable() { return CalcSession::Unavailable(); }

bool AttachForExport() { return SpreadsheetUnavailable().isEmpty() && AttachToRunningWorkbook(); }

bool WriteCellsToActiveSheet(int row, int col, const CalcBlock& block, QString& error) {
  try {
    Calc().WriteBlock(row, col, block);
    return true;
  } catch (const CalcError& e) {
    error = e.text;
    return false;
  }
}
