// The database functions through scripts against real databases: SQLite files, the SQLite ODBC
// driver, a data-link file, and a private PostgreSQL server started for the tests.
#include <QDir>
#include <QFile>

#include "../functions/function_fixture.h"
#include "engine/message_numbers.h"
#include "engine/program_folder.h"
#include "postgres_server.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class DatabaseTest : public FunctionTest {
 protected:
  void SetUp() override {
    FunctionTest::SetUp();
    database = QDir(ProgramFolder()).filePath(u"shop.db"_s);
    QFile::remove(database);
    QFile(database).open(QIODevice::WriteOnly);  // an empty file is an empty SQLite database
  }
  void TearDown() override {
    Run({u"DB_Disconnect()"_s});
    FunctionTest::TearDown();
  }

  // The elements of an array a function made, row after row.
  static QStringList Elements(const QString& variable) {
    const int index = FindArray(variable);
    if (index <= 0) return {u"<no array>"_s};
    const t_arr_specification& a = Engine().Array(index);
    QStringList out;
    for (const QString& s : a.P->strings) out << s;
    return out;
  }
  static QString Shape(const QString& variable) {
    const int index = FindArray(variable);
    if (index <= 0) return {};
    const t_arr_specification& a = Engine().Array(index);
    return u"%1x%2"_s.arg(a.dim[0]).arg(a.dim[1]);
  }

  // Creates the table goods(name, price) with three rows and reads it back.
  void FillAndRead(const QString& connect) {
    ASSERT_EQ(Run({u"ok = "_s + connect,
                   u"made = DB_ExecSQL('create table goods (name varchar(20), price real)')"_s,
                   u"a = DB_ExecSQL(\"insert into goods values ('tea', 2.5)\")"_s,
                   u"b = DB_ExecSQL(\"insert into goods values ('milk', 1)\")"_s,
                   u"c = DB_ExecSQL(\"insert into goods values ('bread', 3.25)\")"_s,
                   u"changed = DB_ExecSQL('update goods set price = price * 2 where price < 3')"_s,
                   u"rows = DB_GetData('select name, price from goods order by name')"_s}),
              QString());
    EXPECT_EQ(Value(u"ok"_s), u"true"_s);
    EXPECT_EQ(Value(u"a"_s), u"1"_s);
    EXPECT_EQ(KindOf(u"a"_s), wkInt);
    EXPECT_EQ(Value(u"changed"_s), u"2"_s);
    EXPECT_EQ(Shape(u"rows"_s), u"3x2"_s);
    EXPECT_EQ(Elements(u"rows"_s), (QStringList{u"bread"_s, u"3.25"_s, u"milk"_s, u"2"_s, u"tea"_s, u"5"_s}));
  }

  QString database;
};

TEST_F(DatabaseTest, SqliteFileQueriesStatementsAndErrors) {
  FillAndRead(u"DB_Connect('Data Source="_s + database + u"', False)"_s);
  // The connection outlives the run.
  EXPECT_EQ(Run({u"n = DB_GetData('select count(*) from goods')"_s}), QString());
  EXPECT_EQ(Elements(u"n"_s), QStringList{u"3"_s});
  // A query without rows gives an array of no rows.
  EXPECT_EQ(Run({u"none = DB_GetData('select name from goods where price > 100')"_s}), QString());
  EXPECT_EQ(Elements(u"none"_s), QStringList());
  // The database's own words for a bad statement.
  const QString error = Run({u"x = DB_GetData('select nosuchcolumn from goods')"_s});
  EXPECT_TRUE(error.contains(u"no such column"_s)) << error.toStdString();

  EXPECT_EQ(Run({u"off = DB_Disconnect()"_s}), QString());
  EXPECT_EQ(Value(u"off"_s), u"true"_s);
  EXPECT_EQ(Run({u"x = DB_ExecSQL('delete from goods')"_s}), ErrorAt(0, msg::kNoDatabaseConnection));
  EXPECT_EQ(Run({u"x = DB_GetData('select 1')"_s}), ErrorAt(0, msg::kNoDatabaseConnection));
}

TEST_F(DatabaseTest, MissingFilesAndUnreachableDatabases) {
  EXPECT_EQ(Run({u"ok = DB_Connect('Provider=Microsoft.Jet.OLEDB.4.0;Data Source=DATA\\dat.mdb;User Id=admin;', False)"_s}),
            ErrorAt(0, msg::kInvalidFileName, {u"DATA\\dat.mdb"_s}));
  EXPECT_EQ(Run({u"ok = DB_Connect('My.udl')"_s}),
            ErrorAt(0, msg::kInvalidFileName, {QDir(ProgramFolder()).filePath(u"My.udl"_s)}));
  // A server that does not answer: the catalogue's message, then what the driver said.
  const QString error = Run({u"ok = DB_Connect('Host=127.0.0.1;Port=1;Database=x;User Id=a;Password=b', False)"_s});
  EXPECT_TRUE(error.startsWith(MessageText(msg::kDatabaseConnectionFailed) + u'\r')) << error.toStdString();
  EXPECT_EQ(Run({u"x = DB_GetData('select 1')"_s}), ErrorAt(0, msg::kNoDatabaseConnection)) << "nothing stays open";
}

TEST_F(DatabaseTest, DataLinkFileAndOdbcDriver) {
  QFile udl(QDir(ProgramFolder()).filePath(u"shop.udl"_s));
  ASSERT_TRUE(udl.open(QIODevice::WriteOnly));
  const QString text = u"[oledb]\r\n; Everything after this line is an OLE DB initstring\r\nData Source="_s + database + u"\r\n"_s;
  udl.write(QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
  udl.close();
  FillAndRead(u"DB_Connect('shop.udl')"_s);

  // The same file through the SQLite ODBC driver.
  EXPECT_EQ(Run({u"ok = DB_Connect('Driver={SQLite3};Database="_s + database + u";', False)"_s,
                 u"rows = DB_GetData(\"select price from goods where name = 'tea'\")"_s}),
            QString());
  EXPECT_EQ(Elements(u"rows"_s), QStringList{u"5"_s});
}

// A private PostgreSQL server: typed columns come back as text; the login is asked for when the
// string has no password.
TEST_F(DatabaseTest, PostgresServerWithLoginPrompt) {
  PostgresServer server;
  if (!server.Start()) GTEST_FAIL() << server.failure().toStdString();
  struct LoginAnswers : DialogService {
    QStringList asked;
    bool InputLine(const QString& prompt, const QString& defaultText, QString& text) override {
      asked << prompt;
      text = defaultText;
      return true;
    }
    bool Password(const QString& prompt, QString& password) override {
      asked << prompt;
      password = u"secret"_s;
      return true;
    }
  } answers;
  SetDialogService(&answers);
  const QString connect = u"DB_Connect('Provider=PostgreSQL;Host=127.0.0.1;Port=%1;Database=postgres;User Id=%2')"_s.arg(
      server.port()).arg(server.user());
  EXPECT_EQ(Run({u"ok = "_s + connect,
                 u"x = DB_ExecSQL('create table t (n integer, f double precision, d date, s text, b boolean)')"_s,
                 u"x = DB_ExecSQL(\"insert into t values (42, 1.5, '2026-12-09', 'Привет', true)\")"_s,
                 u"rows = DB_GetData('select n, f, d, s, b from t')"_s}),
            QString());
  SetDialogService(nullptr);
  EXPECT_EQ(answers.asked.size(), 2);
  EXPECT_EQ(Elements(u"rows"_s), (QStringList{u"42"_s, u"1.5"_s, u"2026-12-09"_s, u"Привет"_s, u"true"_s}));
}

}  // namespace
