#include "automation/spreadsheet/spreadsheet_attach.h"

#include "automation/spreadsheet/calc_session.h"

QString& WorkbookName() {
  static QString name;
  return name;
}

bool RemoveHiddenExcel() {
  try {
    if (!Calc().AttachRunning()) return false;
    if (Calc().documentCount() == 0) Calc().Quit(false);
    return true;
  } catch (const CalcError&) {
    return false;
  }
}

bool AttachToRunningWorkbook() {
  // Each round either finds a workbook or ends one process; a few rounds are plenty.
  for (int round = 0; round < 5; ++round) {
    try {
      if (!Calc().AttachRunning()) return false;
      if (Calc().documentCount() >= 1) return true;
      Calc().Quit(false);
    } catch (const CalcError&) {
      return false;
    }
  }
  return false;
}
