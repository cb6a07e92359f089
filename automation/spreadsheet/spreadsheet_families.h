// What the spreadsheet function families share: their handlers and the argument helpers.
#pragma once

#include "unit_support/call_frame.h"

// Sets message 224 and returns false when no spreadsheet application is attached.
bool RequireSpreadsheetApp(GeneralCall& call);
// Argument n as a row or column number (rounded, kept within the int range).
int CellIndex(const GeneralCall& call, int n);

void ExcelOpen(GeneralCall& call);
void ExcelConnect(GeneralCall& call);
void ExcelSaveAndClose(GeneralCall& call);
void ExcelCloseAndDiscard(GeneralCall& call);
void ExcelWorksheetsSelect(GeneralCall& call);
void ExcelWorksheetsAdd(GeneralCall& call);
void ExcelCellSetValue(GeneralCall& call);
void ExcelCellGetValue(GeneralCall& call);
void ExcelRangeSetValues(GeneralCall& call);
void ExcelRangeGetValues(GeneralCall& call);
