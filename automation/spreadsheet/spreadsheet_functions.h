// The ten spreadsheet functions of the system-automation table (Excel_Open ... 
// Excel_Range_GetValues), working on LibreOffice Calc through the program's CalcSession.
#pragma once

#include <span>

#include "unit_support/call_frame.h"

// {name, handler} entries of the ten functions, for the system-automation unit's dispatcher
// (argument counting: ArgumentCountPolicy::WordsWithTextOrKind).
std::span<const UnitFunctionEntry> SpreadsheetFunctions();

// The unit's program-end hook: ends a windowless Calc the program started.
void EndSpreadsheetSession();
