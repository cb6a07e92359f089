#include "spreadsheet_fixture.h"

#include <QCoreApplication>
#include <unistd.h>

#include "app/unit_list.h"
#include "automation/spreadsheet/calc_process.h"
#include "automation/spreadsheet/spreadsheet_functions.h"
#include "engine/program_folder.h"
#include "unit_support/described_unit.h"

namespace {

QTemporaryDir& Scratch() {
  static QTemporaryDir dir;
  return dir;
}

// The system-automation unit as the program will hold it, reduced to the spreadsheet family.
FunctionUnit& SpreadsheetTestUnit() {
  static DescribedUnit unit(TableId::OS, SpreadsheetCall, {.programEnding = EndSpreadsheetSession});
  return unit;
}

// A program folder and a pipe of this test program's own; soffice is ended at the end.
class CalcEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(Scratch().isValid());
    qputenv("TRESSALY_HOME", Scratch().filePath(QStringLiteral("home")).toUtf8());
    ResetProgramFolderForTests();
    SetCalcPipeName(QStringLiteral("tressaly_calc_test_%1").arg(getpid()));
    RegisterUnits({SpreadsheetTestUnit});
  }
  void TearDown() override {
    Calc().Quit();
    EndProcessesAcceptingPipe(CalcPipeName());
  }
};

}  // namespace

void SpreadsheetCall(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::OS, {SpreadsheetFunctions()}, ArgumentCountPolicy::WordsWithTextOrKind);
  table.Call(name, args, result);
}

void SpreadsheetTest::SetUp() { ScriptTest::SetUp(); }

void SpreadsheetTest::TearDown() { ScriptTest::TearDown(); }

QString SpreadsheetTest::ScratchPath(const QString& name) { return Scratch().filePath(name); }

QString SpreadsheetTest::RunFor(const QString& variable, const QStringList& lines) {
  const QString error = Run(lines);
  EXPECT_EQ(error, QString()) << lines.join(u'\n').toStdString();
  return Value(variable);
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new CalcEnvironment);
  return RUN_ALL_TESTS();
}
