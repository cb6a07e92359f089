// What the database unit needs for DB_Export_To_Excel: attaching to the running spreadsheet
// application and writing typed cells into the active sheet of its workbook.
#pragma once

#include <QString>

#include "automation/spreadsheet/calc_session.h"

// Why the spreadsheet cannot be used here (interface language), empty when it can.
QString SpreadsheetUnavailable();

// Attaches to the running application with a workbook, ending invisible ones without
// workbooks. False when none is left: the caller reports message 225.
bool AttachForExport();

// Writes `block` row by row into the active sheet from (row, col), both from 1. False with the
// application's own error text in `error`.
bool WriteCellsToActiveSheet(int row, int col, const CalcBlock& block, QString& error);
