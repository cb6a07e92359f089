// Workbooks and sheets through scripts: message 224 without an application, opening (empty or
// from a template), saving by extension, discarding, attaching to a running application, and
// adding and selecting sheets.
#include <QFile>
#include <QFileInfo>

#include "automation/spreadsheet/calc_process.h"
#include "automation/spreadsheet/spreadsheet_functions.h"
#include "spreadsheet_fixture.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool OfficeRuns() { return !ProcessesAcceptingPipe(CalcPipeName()).isEmpty(); }

// Message boxes are recorded and answered with OK.
class RecordingDialogs : public DialogService {
 public:
  QStringList boxes;
  MessageButton ShowMessage(const QString& text, const QString& caption, int) override {
    boxes << caption + u'|' + text;
    return MessageButton::Ok;
  }
};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST_F(SpreadsheetTest, WithoutAnApplicationTheCellAndSheetFunctionsReport224) {
  Calc().Quit();
  const char16_t* calls[] = {u"Excel_SaveAndClose('a.xlsx')", u"Excel_Worksheets_Select(1)",
                             u"Excel_Worksheets_Add('x')",   u"Excel_Cell_SetValue(1, 1, 'a')",
                             u"Excel_Cell_GetValue(1, 1)",   u"Excel_Range_SetValues(1, 1, A)",
                             u"Excel_Range_GetValues(1, 1, 2, 2)"};
  for (const char16_t* call : calls)
    EXPECT_EQ(Run({u"array A[1,1]string"_s, u"r = "_s + QString::fromUtf16(call)}), ErrorAt(1, 224)) << QString::fromUtf16(call).toStdString();
  // These two answer false instead; nothing is started.
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_CloseAndDiscard()"_s}), u"false"_s);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Connect()"_s}), u"false"_s);
  EXPECT_FALSE(OfficeRuns());
}

TEST_F(SpreadsheetTest, SavedWorkbookServesAsTemplateAndDiscardLeavesItUnchanged) {
  QDir::setCurrent(ScratchPath({}));
  QDir().mkpath(u"out"_s);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Open('no such file.xlsx')"_s, u"Excel_Cell_SetValue(1, 1, 'kept')"_s,
                           u"Excel_Cell_SetValue(1, 2, '2,5')"_s, u"none = Excel_SaveAndClose('')"_s}),
            u"true"_s);
  EXPECT_EQ(Value(u"none"_s), u"false"_s);  // no name: nothing closed
  ASSERT_TRUE(Calc().attached());

  // Backslashes separate folders; the name is taken from the current folder.
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_SaveAndClose('out\\\\book.xlsx')"_s}), u"true"_s);
  const QString book = ScratchPath(u"out/book.xlsx"_s);
  ASSERT_TRUE(QFileInfo(book).isFile());
  EXPECT_TRUE(FileBytes(book).startsWith("PK"));  // a zipped workbook
  EXPECT_FALSE(Calc().attached());
  EXPECT_FALSE(OfficeRuns());

  // A new workbook based on the file: its values, but no file behind it.
  const QByteArray before = FileBytes(book);
  EXPECT_EQ(RunFor(u"v"_s, {u"r = Excel_Open('out/book.xlsx')"_s, u"v = Excel_Cell_GetValue(1, 1)"_s,
                           u"w = Excel_Cell_GetValue(1, 2)"_s, u"Excel_Cell_SetValue(1, 1, 'changed')"_s}),
            u"kept"_s);
  EXPECT_EQ(Value(u"r"_s), u"true"_s);
  EXPECT_EQ(Value(u"w"_s), u"2.5"_s);
  EXPECT_EQ(Calc().activeDocumentPath(), QString());
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_CloseAndDiscard()"_s}), u"true"_s);
  EXPECT_EQ(FileBytes(book), before);
  EXPECT_FALSE(Calc().attached());
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_CloseAndDiscard()"_s}), u"false"_s);
}

TEST_F(SpreadsheetTest, SaveChoosesTheFormatByExtension) {
  QDir::setCurrent(ScratchPath({}));
  const QStringList lines{u"Excel_Open()"_s, u"Excel_Cell_SetValue(1, 1, '1,5')"_s,
                          u"Excel_Cell_SetValue(1, 2, 'a b')"_s, u"Excel_Cell_SetValue(2, 1, '=R[-1]C*2')"_s};
  EXPECT_EQ(RunFor(u"r"_s, QStringList(lines) << u"r = Excel_SaveAndClose('table.csv')"_s), u"true"_s);
  EXPECT_EQ(FileBytes(ScratchPath(u"table.csv"_s)), "1.5,\"a b\"\n3,\n");
  EXPECT_EQ(RunFor(u"r"_s, QStringList(lines) << u"r = Excel_SaveAndClose('table.ods')"_s), u"true"_s);
  EXPECT_TRUE(FileBytes(ScratchPath(u"table.ods"_s)).contains("application/vnd.oasis.opendocument.spreadsheet"));
  EXPECT_EQ(RunFor(u"r"_s, QStringList(lines) << u"r = Excel_SaveAndClose('table.xls')"_s), u"true"_s);
  EXPECT_TRUE(FileBytes(ScratchPath(u"table.xls"_s)).startsWith("\xD0\xCF\x11\xE0"));  // a compound file
}

// An application started earlier (here: by a session that let go of it) is attached to; it ran
// without windows, so the result is false although the workbook is reachable.
TEST_F(SpreadsheetTest, ConnectAttachesToTheRunningApplication) {
  ASSERT_EQ(RunFor(u"r"_s, {u"r = Excel_Open()"_s, u"Excel_Cell_SetValue(3, 2, 'left here')"_s}), u"true"_s);
  Calc().Detach();
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Connect()"_s, u"v = Excel_Cell_GetValue(3, 2)"_s}), u"false"_s);
  EXPECT_EQ(Value(u"v"_s), u"left here"_s);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_CloseAndDiscard()"_s}), u"true"_s);

  // One without a workbook is a leftover: it is ended and nothing is attached.
  Calc().Start();
  Calc().Detach();
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Connect()"_s}), u"false"_s);
  EXPECT_FALSE(Calc().attached());
  EXPECT_FALSE(OfficeRuns());
}

TEST_F(SpreadsheetTest, SheetsAreAddedBeforeTheActiveOneAndSelected) {
  ASSERT_EQ(RunFor(u"r"_s, {u"r = Excel_Open()"_s}), u"true"_s);
  ASSERT_EQ(Calc().sheetCount(), 1);
  const QString first = Calc().sheetName(1);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Worksheets_Add('Data')"_s, u"Excel_Cell_SetValue(1, 1, 'on data')"_s,
                           u"again = Excel_Worksheets_Add('Data')"_s, u"plain = Excel_Worksheets_Add()"_s}),
            u"true"_s);
  EXPECT_EQ(Value(u"again"_s), u"true"_s);
  EXPECT_EQ(Value(u"plain"_s), u"true"_s);
  ASSERT_EQ(Calc().sheetCount(), 3);  // "Data" was selected the second time, not added
  EXPECT_EQ(Calc().sheetName(2), u"Data"_s);
  EXPECT_EQ(Calc().sheetName(3), first);
  EXPECT_EQ(Calc().sheetName(1), u"Sheet3"_s);  // the default name, before the active "Data"

  EXPECT_EQ(RunFor(u"v"_s, {u"big = Excel_Worksheets_Select(5)"_s, u"v = Excel_Cell_GetValue(1, 1)"_s}), QString());
  EXPECT_EQ(Value(u"big"_s), u"true"_s);  // beyond the count: nothing selected
  EXPECT_EQ(RunFor(u"v"_s, {u"Excel_Worksheets_Select(2)"_s, u"v = Excel_Cell_GetValue(1, 1)"_s}), u"on data"_s);
  EXPECT_EQ(RunFor(u"v"_s, {u"Excel_Worksheets_Select('"_s + first + u"')"_s, u"v = Excel_Cell_GetValue(1, 1)"_s}),
            QString());
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Worksheets_Select(0)"_s}), u"false"_s);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Worksheets_Select('no such sheet')"_s}), u"false"_s);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_CloseAndDiscard()"_s}), u"true"_s);
}

// A file that is no spreadsheet fails the template: a box of its own (in Russian, whatever the
// interface language), a false result, and no application left running.
TEST_F(SpreadsheetTest, AFileThatIsNoWorkbookFailsWithItsOwnBox) {
  QFile text(ScratchPath(u"notes.txt"_s));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("just some words\n");
  text.close();
  RecordingDialogs dialogs;
  SetDialogService(&dialogs);
  EXPECT_EQ(RunFor(u"r"_s, {u"r = Excel_Open('"_s + text.fileName() + u"')"_s}), u"false"_s);
  SetDialogService(nullptr);
  ASSERT_EQ(dialogs.boxes.size(), 1);
  EXPECT_TRUE(dialogs.boxes[0].startsWith(u"Внимание|При попытке создания новой книги Excel произошла ошибка.\r["_s))
      << dialogs.boxes[0].toStdString();
  EXPECT_FALSE(OfficeRuns());
  // The failed open keeps the reference: the next call fails in the application, not with 224.
  EXPECT_TRUE(Calc().attached());
  EXPECT_NE(Run({u"v = Excel_Cell_GetValue(1, 1)"_s}), ErrorAt(0, 224));
  Calc().Detach();
}

// At program end a windowless application the program started is ended.
TEST_F(SpreadsheetTest, ProgramEndEndsAWindowlessApplication) {
  ASSERT_EQ(RunFor(u"r"_s, {u"r = Excel_Open()"_s}), u"true"_s);
  EXPECT_TRUE(OfficeRuns());
  EndSpreadsheetSession();
  EXPECT_FALSE(OfficeRuns());
  EXPECT_FALSE(Calc().attached());
}
