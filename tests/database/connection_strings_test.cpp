// Connection strings and data-link files onto Qt Sql drivers: which database, which driver,
// which file is missing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "automation/connection_strings.h"
#include "engine/message_numbers.h"
#include "engine/program_folder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

QByteArray Utf16WithBom(const QString& text) {
  QByteArray bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  return bytes;
}

TEST(ConnectionStrings, FieldsWithBracesBlanksAndCase) {
  const auto fields = ConnectionStringFields(u" Driver = {SQLite3; x} ;DATABASE=/tmp/a.db; Pwd=p=q ;;flag"_s);
  EXPECT_EQ(fields.value(u"driver"_s), u"{SQLite3; x}"_s);
  EXPECT_EQ(fields.value(u"database"_s), u"/tmp/a.db"_s);
  EXPECT_EQ(fields.value(u"pwd"_s), u"p=q"_s);
  EXPECT_EQ(fields.size(), 3);
}

TEST(ConnectionStrings, FilesServersAndDrivers) {
  QTemporaryDir dir;
  const QString db = Write(dir.filePath(u"shop.sqlite"_s), QByteArray());
  const QString headed = Write(dir.filePath(u"data.bin"_s), QByteArray("SQLite format 3\0rest", 20));
  const QString other = Write(dir.filePath(u"old.mdb"_s), QByteArray("Standard Jet DB"));

  ConnectionPlan plan = PlanConnection(u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source="_s + db + u";"_s);
  ASSERT_TRUE(plan.target);
  EXPECT_EQ(plan.target->driver, u"QSQLITE"_s);
  EXPECT_EQ(plan.target->databaseName, db);
  EXPECT_FALSE(plan.target->lacksLogin()) << "an SQLite file asks for no login";

  plan = PlanConnection(u"Data Source="_s + headed);
  ASSERT_TRUE(plan.target) << "recognised by its header";
  EXPECT_EQ(plan.target->driver, u"QSQLITE"_s);

  plan = PlanConnection(u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=DATA\\dat.mdb;User Id=admin;"_s);
  EXPECT_FALSE(plan.target);
  EXPECT_EQ(plan.message, msg::kInvalidFileName);
  EXPECT_EQ(plan.messageArg, u"DATA\\dat.mdb"_s) << "named as the script wrote it";

  plan = PlanConnection(u"Data Source="_s + other);
  EXPECT_FALSE(plan.target);
  EXPECT_TRUE(plan.errorText.contains(u"not an SQLite database"_s)) << plan.errorText.toStdString();

  plan = PlanConnection(u"Driver={SQLite3};Database=/tmp/x.db;"_s);
  ASSERT_TRUE(plan.target);
  EXPECT_EQ(plan.target->driver, u"QODBC"_s);
  EXPECT_EQ(plan.target->databaseName, u"Driver={SQLite3};Database=/tmp/x.db;"_s) << "passed through";

  plan = PlanConnection(u"Provider=PostgreSQL;Host=127.0.0.1;Port=5433;Database=shop;User Id=ann;"_s);
  ASSERT_TRUE(plan.target);
  EXPECT_EQ(plan.target->driver, u"QPSQL"_s);
  EXPECT_EQ(plan.target->host, u"127.0.0.1"_s);
  EXPECT_EQ(plan.target->port, 5433);
  EXPECT_EQ(plan.target->databaseName, u"shop"_s);
  EXPECT_EQ(plan.target->user, u"ann"_s);
  EXPECT_TRUE(plan.target->lacksLogin()) << "no password given";

  plan = PlanConnection(u"Server=db;Uid=x"_s);
  EXPECT_FALSE(plan.target);
  EXPECT_FALSE(plan.errorText.isEmpty());
}

// A data-link file: UTF-16 with its [oledb] header, read from the program folder when named
// without a folder; a server in its "Data Source=" is not taken for a missing file.
TEST(ConnectionStrings, DataLinkFiles) {
  const QDir home(ProgramFolder());
  const QString db = Write(home.filePath(u"shop.db"_s), QByteArray());
  Write(home.filePath(u"My.udl"_s),
        Utf16WithBom(u"[oledb]\r\n; Everything after this line is an OLE DB initstring\r\nProvider=SQLite;Data Source="_s + db + u"\r\n"_s));
  ConnectionPlan plan = PlanConnection(u"My.udl"_s);
  ASSERT_TRUE(plan.target) << plan.errorText.toStdString();
  EXPECT_EQ(plan.target->driver, u"QSQLITE"_s);
  EXPECT_EQ(QDir::cleanPath(plan.target->databaseName), QDir::cleanPath(db));

  Write(home.filePath(u"server.udl"_s),
        u"[oledb]\nProvider=PostgreSQL.1;Data Source=dbhost;Initial Catalog=shop;User ID=ann;Password=x\n"_s.toUtf8());
  plan = PlanConnection(u"server.udl"_s);
  ASSERT_TRUE(plan.target);
  EXPECT_EQ(plan.target->host, u"dbhost"_s);
  EXPECT_EQ(plan.target->databaseName, u"shop"_s);
  EXPECT_FALSE(plan.target->lacksLogin());

  plan = PlanConnection(u"Missing.udl"_s);
  EXPECT_EQ(plan.message, msg::kInvalidFileName);
  EXPECT_EQ(plan.messageArg, home.filePath(u"Missing.udl"_s)) << "the full path";
}

}  // namespace
