// Script tests of the spreadsheet functions: the system-automation table served by a test
// unit that holds only the spreadsheet family, and one soffice for the whole test program
// (a private program folder, profile and pipe, ended when the program ends).
#pragma once

#include <QDir>
#include <QTemporaryDir>

#include "../engine/script_runner.h"
#include "automation/spreadsheet/calc_session.h"

// Runs a spreadsheet function's handler directly, as the system unit's dispatcher does.
void SpreadsheetCall(const QString& name, const TWordArray& args, TWordStatus& result);

class SpreadsheetTest : public ScriptTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A path in the test program's scratch folder.
  static QString ScratchPath(const QString& name);
  // Runs lines that must not fail and returns the value of `variable` afterwards.
  QString RunFor(const QString& variable, const QStringList& lines);
};

// Failures of the session show their text in the test's output.
inline void PrintTo(const CalcError& e, std::ostream* os) { *os << e.text.toStdString(); }
