// DB_Export_To_Excel: the rows of a query go into the active sheet of the running Calc, each
// field by its kind; without a running application, message 225.
#include <QFile>

#include "engine/message_numbers.h"
#include "spreadsheet_fixture.h"

using namespace Qt::Literals::StringLiterals;

TEST_F(SpreadsheetTest, QueryRowsGoIntoTheActiveSheetByTheirKinds) {
  const QString database = ScratchPath(u"export.db"_s);
  QFile::remove(database);
  QFile(database).open(QIODevice::WriteOnly);
  const QStringList setup = {
      u"ok = DB_Connect('Data Source="_s + database + u"', False)"_s,
      u"x = DB_ExecSQL('create table t (n integer, f real, s text, b blob)')"_s,
      u"x = DB_ExecSQL(\"insert into t values (7, 2.5, 'Привет', x'00ff')\")"_s,
      u"x = DB_ExecSQL(\"insert into t values (-3, 0.125, 'two', null)\")"_s};
  ASSERT_EQ(Run(setup), QString());
  EXPECT_EQ(Run({u"r = DB_Export_To_Excel(1, 1, 'select n from t')"_s}), ErrorAt(0, msg::kParasiticSpreadsheet))
      << "no spreadsheet application runs";

  EXPECT_EQ(RunFor(u"cells"_s, {u"ok = Excel_Open()"_s, u"x = Excel_Cell_SetValue(3, 6, 'kept')"_s,
                                u"r = DB_Export_To_Excel(2, 3, 'select n, f, s, b from t')"_s,
                                u"cells = Excel_Cell_GetValue(2, 3) + '|' + Excel_Cell_GetValue(2, 4) + '|' + "
                                u"Excel_Cell_GetValue(2, 5) + '|' + Excel_Cell_GetValue(2, 6) + '|' + "
                                u"Excel_Cell_GetValue(3, 3) + '|' + Excel_Cell_GetValue(3, 4) + '|' + "
                                u"Excel_Cell_GetValue(3, 5) + '|' + Excel_Cell_GetValue(3, 6)"_s}),
            u"7|2.5|Привет||-3|0.125|two|kept"_s)
      << "binary and empty fields leave their cells as they were";
  EXPECT_EQ(Cell(u"r[]"_s), u"(('7','2.5','Привет','00FF')('-3','0.125','two',''))"_s) << "the rows, as DB_GetData gives them";
  EXPECT_EQ(Run({u"ok = Excel_CloseAndDiscard()"_s, u"ok = DB_Disconnect()"_s}), QString());
}
