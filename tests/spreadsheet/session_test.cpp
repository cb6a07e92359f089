// The session itself: starting soffice on the private pipe with a seeded profile, attaching,
// ending it, and the typed block the database export writes.
#include <QFile>
#include <QElapsedTimer>

#include "automation/spreadsheet/calc_process.h"
#include "automation/spreadsheet/spreadsheet_export.h"
#include "engine/program_folder.h"
#include "spreadsheet_fixture.h"

using namespace Qt::Literals::StringLiterals;

TEST_F(SpreadsheetTest, SessionStartsAttachesAndEnds) try {
  ASSERT_EQ(CalcSession::Unavailable(), QString());
  Calc().Quit();
  QElapsedTimer timer;
  timer.start();
  Calc().Start();
  EXPECT_LT(timer.elapsed(), 20000) << "the seeded profile should skip the first-start self-test";
  EXPECT_TRUE(Calc().attached());
  EXPECT_FALSE(ProcessesAcceptingPipe(CalcPipeName()).isEmpty());

  // The profile lives in the program folder's Temp and names the installed version.
  QFile seed(ProgramFolder() + u"Temp/calc_profile_"_s + CalcPipeName() + u"/user/registrymodifications.xcu"_s);
  ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
  EXPECT_TRUE(seed.readAll().contains((u"<value>"_s + CalcVersion() + u"</value>"_s).toUtf8()));

  // Started without a document; a second session object attaches to the same application.
  EXPECT_EQ(Calc().documentCount(), 0);
  Calc().AddDocument({});
  EXPECT_EQ(Calc().documentCount(), 1);
  CalcSession other;
  ASSERT_TRUE(other.AttachRunning());
  EXPECT_EQ(other.documentCount(), 1);
  other.Detach();

  Calc().Quit();
  EXPECT_FALSE(Calc().attached());
  EXPECT_TRUE(ProcessesAcceptingPipe(CalcPipeName()).isEmpty());
  EXPECT_FALSE(other.AttachRunning());
} catch (const CalcError& e) {
  FAIL() << e.text.toStdString();
}

TEST_F(SpreadsheetTest, ExportWritesTypedCellsIntoTheActiveSheet) {
  ASSERT_EQ(RunFor(u"ok"_s, {u"ok = Excel_Open()"_s}), u"true"_s);
  const CalcBlock block{
      {CalcCell(1.5), CalcCell(u"text"_s), CalcCell(QDate(2024, 3, 1))},
      {CalcCell(true), CalcCell(), CalcCell(QDateTime(QDate(1899, 12, 31), QTime(12, 0)))},
      {CalcCell(QTime(6, 0)), CalcCell(-7.0), CalcCell(u"=not a formula"_s)},
  };
  Calc().SetText(3, 3, u"kept"_s);
  ASSERT_TRUE(AttachForExport());
  QString error;
  ASSERT_TRUE(WriteCellsToActiveSheet(2, 2, block, error)) << error.toStdString();
  const QStringList expected[] = {{u"1.5"_s, u"text"_s, u"45352"_s},
                                  {u"1"_s, u"kept"_s, u"1.5"_s},
                                  {u"0.25"_s, u"-7"_s, u"=not a formula"_s}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(Calc().CellText(2 + r, 2 + c), expected[r][c]) << r << "," << c;

  EXPECT_FALSE(WriteCellsToActiveSheet(0, 1, block, error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(RunFor(u"ok"_s, {u"ok = Excel_CloseAndDiscard()"_s}), u"true"_s);
}

// An application without workbooks is a hidden leftover: the export ends it and finds nothing.
TEST_F(SpreadsheetTest, ExportEndsAnApplicationWithoutWorkbooks) {
  Calc().Quit();
  Calc().Start();
  Calc().Detach();
  EXPECT_FALSE(AttachForExport());
  EXPECT_TRUE(ProcessesAcceptingPipe(CalcPipeName()).isEmpty());
  EXPECT_FALSE(AttachForExport());
  Calc().Detach();
}
