// Attaching to a running spreadsheet application, shared by Excel_Connect, Excel_Open and the
// database export.
#pragma once

#include <QString>

// The name under which the active workbook is known (empty for a new, never stored one).
QString& WorkbookName();

// Attaches to the application on the program's pipe; when it has no workbook open, it is
// ended (a hidden leftover). False when none runs or attaching fails.
bool RemoveHiddenExcel();

// Attaches to the running application, ending instances without workbooks, until one with a
// workbook is attached. False when none is left (the caller reports message 225).
bool AttachToRunningWorkbook();
