#include "automation/database_unit.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

#include "automation/connection_strings.h"
#include "automation/spreadsheet/spreadsheet_export.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/local_texts.h"
#include "engine/message_numbers.h"
#include "unit_support/call_frame.h"
#include "unit_support/described_unit.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kConnectionName = u"tressaly-database"_s;

// The Debian package that carries each Qt Sql driver, for the error when one is missing.
QString DriverPackage(const QString& driver) {
  if (driver == u"QPSQL"_s) return u"libqt6sql6-psql"_s;
  if (driver == u"QODBC"_s) return u"libqt6sql6-odbc"_s;
  return u"libqt6sql6-sqlite"_s;
}

QSqlDatabase Connection() { return QSqlDatabase::database(kConnectionName, false); }

bool ConnectionOpen() {
  const QSqlDatabase db = Connection();
  return db.isValid() && db.isOpen();
}

void CloseConnection() {
  if (!QSqlDatabase::contains(kConnectionName)) return;
  {
    QSqlDatabase db = Connection();
    db.close();
  }  // no handle may outlive the removal
  QSqlDatabase::removeDatabase(kConnectionName);
}

// The database's own words for a failure, else the driver's.
QString FailureText(const QSqlError& error) {
  const QString own = error.databaseText().trimmed();
  return own.isEmpty() ? error.text().trimmed() : own;
}

// A field's value as the script sees it in a text array.
QString FieldText(const QVariant& value) {
  if (value.isNull()) return {};
  switch (value.metaType().id()) {
    case QMetaType::Bool:
      return value.toBool() ? u"true"_s : u"false"_s;
    case QMetaType::QDate:
      return value.toDate().toString(u"yyyy-MM-dd"_s);
    case QMetaType::QTime:
      return value.toTime().toString(u"hh:mm:ss"_s);
    case QMetaType::QDateTime:
      return value.toDateTime().toString(u"yyyy-MM-dd hh:mm:ss"_s);
    case QMetaType::QByteArray:  // binary fields as hexadecimal digits: texts hold no NULs
      return QString::fromLatin1(value.toByteArray().toHex().toUpper());
    default:
      return value.toString();
  }
}

// What a cell receives for a field: numbers, truth values, dates and times as such, texts as
// text, nothing for binary and other kinds.
CalcCell CellValue(const QVariant& value) {
  if (value.isNull()) return {};
  switch (value.metaType().id()) {
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::SChar:
    case QMetaType::UChar: case QMetaType::Long: case QMetaType::ULong: case QMetaType::Double:
    case QMetaType::Float:
      return value.toDouble();
    case QMetaType::QDate:
      return value.toDate();
    case QMetaType::QTime:
      return value.toTime();
    case QMetaType::QDateTime:
      return value.toDateTime();
    case QMetaType::QString:
      return value.toString();
    default:
      return {};
  }
}

// Asks for the user name and password; false after Cancel.
bool AskLogin(DatabaseTarget& target) {
  QString user = target.user;
  if (!Dialogs().InputLine(Bilingual(u"Database user name", u"Имя пользователя базы данных"), target.user, user))
    return false;
  QString password;
  if (!Dialogs().Password(Bilingual(u"Password of %1", u"Пароль пользователя %1").arg(user), password)) return false;
  target.user = user;
  target.password = password;
  return true;
}

// DB_Connect(ConnectionString[, LoginPrompt]): true when the connection is open.
void DB_Connect(GeneralCall& call) {
  call.setBool(false);
  const bool loginPrompt = call.count() == 2 ? call.arg(1).bool_val : true;
  CloseConnection();
  const ConnectionPlan plan = PlanConnection(call.text(0));
  if (!plan.target) {
    if (plan.message) return call.fail(plan.message, {plan.messageArg});
    return call.failText(plan.errorText);
  }
  DatabaseTarget target = *plan.target;
  if (!QSqlDatabase::isDriverAvailable(target.driver))
    return call.failText(Bilingual(u"The database driver %1 is not installed (Debian package %2).",
                                   u"Драйвер баз данных %1 не установлен (пакет Debian %2).")
                             .arg(target.driver, DriverPackage(target.driver)));
  if (loginPrompt && target.lacksLogin() && !AskLogin(target)) return call.fail(msg::kDatabaseConnectionFailed);
  QString failure;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(target.driver, kConnectionName);
    db.setDatabaseName(target.databaseName);
    if (!target.host.isEmpty()) db.setHostName(target.host);
    if (target.port > 0) db.setPort(target.port);
    if (!target.user.isEmpty()) db.setUserName(target.user);
    if (!target.password.isEmpty()) db.setPassword(target.password);
    if (!db.open()) failure = FailureText(db.lastError());
  }
  if (!failure.isNull()) {
    CloseConnection();
    // The catalogue's message, and below it what the database said.
    return call.failText(MessageText(msg::kDatabaseConnectionFailed) + (failure.isEmpty() ? QString() : u'\r' + failure));
  }
  call.setBool(ConnectionOpen());
}

// DB_Disconnect(): true.
void DB_Disconnect(GeneralCall& call) {
  CloseConnection();
  if (QSqlDatabase::contains(kConnectionName)) return call.fail(msg::kDatabaseDisconnectFailed);
  call.setBool(true);
}

// Runs `sql` on the open connection; false with the error raised.
bool RunQuery(GeneralCall& call, QSqlQuery& query, const QString& sql) {
  if (!ConnectionOpen()) {
    call.fail(msg::kNoDatabaseConnection);
    return false;
  }
  query = QSqlQuery(Connection());
  query.setForwardOnly(true);
  if (query.exec(sql)) return true;
  call.failText(FailureText(query.lastError()));
  return false;
}

// The rows a query gives, each field as text, row after row.
struct QueryRows {
  int fields = 0;
  int rows = 0;
  QStringList texts;
  CalcBlock cells;  // filled only when asked for
};

// Reads every row of an executed query; false with the database's error raised.
bool ReadRows(GeneralCall& call, QSqlQuery& query, QueryRows& out, bool withCells) {
  // Drivers do not tell the number of rows before they are read: every row is collected first.
  out.fields = query.record().count();
  while (query.next()) {
    QList<CalcCell>* cells = withCells ? &out.cells.emplace_back() : nullptr;
    for (int f = 0; f < out.fields; ++f) {
      const QVariant value = query.value(f);
      out.texts << FieldText(value);
      if (cells) *cells << CellValue(value);
    }
    if (++out.rows == INT_MAX) break;
  }
  if (!query.lastError().isValid()) return true;
  call.failText(FailureText(query.lastError()));
  return false;
}

// The rows as the result: a temporary text array [rows, fields].
void ReturnRows(GeneralCall& call, const QueryRows& rows) {
  const int index = call.newArray({rows.rows, rows.fields}, wkString);
  if (index <= 0) return;
  auto& strings = Engine().Array(index).P->strings;
  for (qsizetype i = 0; i < rows.texts.size() && std::size_t(i) < strings.size(); ++i)
    strings[std::size_t(i)] = rows.texts[i];
}

// DB_GetData(SQL): a text array of the rows (first index) and fields (second index).
void DB_GetData(GeneralCall& call) {
  QSqlQuery query;
  QueryRows rows;
  if (RunQuery(call, query, call.text(0)) && ReadRows(call, query, rows, false)) ReturnRows(call, rows);
}

// DB_ExecSQL(SQL): the number of rows the statement changed.
void DB_ExecSQL(GeneralCall& call) {
  QSqlQuery query;
  if (!RunQuery(call, query, call.text(0))) return;
  SetNumber(call.result(), std::max(0, query.numRowsAffected()), wkInt);
}

// DB_Export_To_Excel(Row, Col, SQL): the rows of the query into the active sheet from (Row, Col);
// the result is the same rows as DB_GetData gives them, so that a script may also keep them.
void DB_Export_To_Excel(GeneralCall& call) {
  const int row = int(RoundHalfEven(call.number(0))), column = int(RoundHalfEven(call.number(1)));
  if (const QString unavailable = SpreadsheetUnavailable(); !unavailable.isEmpty()) return call.failText(unavailable);
  if (!AttachForExport()) return call.fail(msg::kParasiticSpreadsheet);
  QSqlQuery query;
  QueryRows rows;
  if (!RunQuery(call, query, call.text(2)) || !ReadRows(call, query, rows, true)) return;
  QString error;
  if (!WriteCellsToActiveSheet(row, column, rows.cells, error)) return call.failText(error);
  ReturnRows(call, rows);
}

constexpr UnitFunctionEntry kDatabaseFunctions[] = {
    {u"DB_Connect", DB_Connect},   {u"DB_Disconnect", DB_Disconnect},
    {u"DB_GetData", DB_GetData},   {u"DB_ExecSQL", DB_ExecSQL},
    {u"DB_Export_To_Excel", DB_Export_To_Excel},
};

void CallDatabaseFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::DB, {kDatabaseFunctions}, ArgumentCountPolicy::WordsWithTextOrKind);
  table.Call(name, args, result);
}

}  // namespace

FunctionUnit& DatabaseUnit() {
  static DescribedUnit unit(TableId::DB, CallDatabaseFunction,
                            {.resetState = CloseConnection, .programEnding = CloseConnection});
  return unit;
}
