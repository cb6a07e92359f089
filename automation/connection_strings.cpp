#include "automation/connection_strings.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "engine/local_texts.h"
#include "engine/message_numbers.h"
#include "functions/file_paths.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QByteArrayView kSqliteHeader("SQLite format 3\0", 16);

// The first field of `fields` present among `keys`.
QString FieldOf(const QMap<QString, QString>& fields, std::initializer_list<QStringView> keys) {
  for (QStringView key : keys) {
    const auto it = fields.find(key.toString());
    if (it != fields.end()) return it.value();
  }
  return {};
}

bool IsSqliteFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == u"db"_s || suffix == u"sqlite"_s || suffix == u"sqlite3"_s) return true;
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && file.read(16) == kSqliteHeader.toByteArray();
}

// An ODBC driver named in /etc/odbcinst.ini (or $ODBCSYSINI's).
bool OdbcDriverInstalled(QStringView name) {
  const QString folder = qEnvironmentVariable("ODBCSYSINI", u"/etc"_s);
  QFile ini(folder + u"/odbcinst.ini"_s);
  return ini.open(QIODevice::ReadOnly) && QString::fromUtf8(ini.readAll()).contains(u'[' + name.toString() + u']', Qt::CaseInsensitive);
}

void SetLogin(DatabaseTarget& target, const QMap<QString, QString>& fields) {
  target.user = FieldOf(fields, {u"user id", u"uid", u"user", u"username", u"user name"});
  target.password = FieldOf(fields, {u"password", u"pwd"});
}

ConnectionPlan Reached(const DatabaseTarget& target) { return {target, 0, {}, {}}; }
ConnectionPlan Failed(const QString& text) { return {std::nullopt, 0, {}, text}; }
ConnectionPlan Missing(const QString& name) { return {std::nullopt, msg::kInvalidFileName, name, {}}; }

// Maps a connection string's fields; `checkDataSourceFile`: a "Data Source=" must name an
// existing file (strings written in scripts; a data-link file may name a server there).
ConnectionPlan PlanFromString(const QString& text, bool checkDataSourceFile) {
  const QMap<QString, QString> fields = ConnectionStringFields(text);
  const QString dataSource = FieldOf(fields, {u"data source"});
  const QString dataSourcePath = dataSource.isEmpty() ? QString() : ResolveDataFileName(dataSource);
  if (checkDataSourceFile && !dataSource.isEmpty() && !QFileInfo(dataSourcePath).isFile()) return Missing(dataSource);

  DatabaseTarget target;
  SetLogin(target, fields);
  const QString provider = FieldOf(fields, {u"provider"}).toLower();
  if (fields.contains(u"driver"_s) || fields.contains(u"dsn"_s)) {
    target.driver = u"QODBC"_s;
    target.databaseName = text;  // handed to the ODBC driver manager as it stands
    return Reached(target);
  }
  if (provider.startsWith(u"postgres"_s) || provider.startsWith(u"npgsql"_s) ||
      (fields.contains(u"host"_s) && fields.contains(u"database"_s))) {
    target.driver = u"QPSQL"_s;
    target.host = FieldOf(fields, {u"host", u"server", u"data source"});
    target.databaseName = FieldOf(fields, {u"database", u"initial catalog"});
    bool ok = false;
    const int port = FieldOf(fields, {u"port"}).toInt(&ok);
    if (ok) target.port = port;
    return Reached(target);
  }
  if (provider.startsWith(u"sqloledb"_s) || provider.startsWith(u"msoledbsql"_s) || provider.startsWith(u"sqlncli"_s)) {
    if (!OdbcDriverInstalled(u"FreeTDS"))
      return Failed(Bilingual(u"SQL Server databases are reached through the FreeTDS ODBC driver, which is not installed (Debian package tdsodbc).",
                              u"Базы SQL Server доступны через драйвер ODBC FreeTDS, а он не установлен (пакет Debian tdsodbc)."));
    target.driver = u"QODBC"_s;
    target.databaseName = u"Driver={FreeTDS};Server=%1;Database=%2;UID=%3;PWD=%4;"_s.arg(
        dataSource, FieldOf(fields, {u"initial catalog", u"database"}), target.user, target.password);
    return Reached(target);
  }
  if (!dataSource.isEmpty() && QFileInfo(dataSourcePath).isFile()) {
    if (!IsSqliteFile(dataSourcePath))
      return Failed(Bilingual(u"The database file \"%1\" is not an SQLite database. Other file databases are reached through their ODBC driver (Driver={...})."_s,
                              u"Файл базы данных \"%1\" — не база SQLite. Другие файловые базы доступны через их драйвер ODBC (Driver={...})."_s)
                        .arg(dataSource));
    target.driver = u"QSQLITE"_s;
    target.databaseName = dataSourcePath;
    return Reached(target);
  }
  return Failed(Bilingual(u"The connection string names no database this program can reach: give an SQLite file (Data Source=), a PostgreSQL server (Host=...;Database=...) or an ODBC driver (Driver={...} or DSN=...)."_s,
                          u"Строка подключения не указывает доступную программе базу: укажите файл SQLite (Data Source=), сервер PostgreSQL (Host=...;Database=...) или драйвер ODBC (Driver={...} или DSN=...)."_s));
}

}  // namespace

QMap<QString, QString> ConnectionStringFields(const QString& text) {
  QMap<QString, QString> fields;
  qsizetype i = 0;
  while (i < text.size()) {
    const qsizetype equals = text.indexOf(u'=', i);
    if (equals < 0) break;
    const QString key = text.mid(i, equals - i).trimmed().toLower();
    qsizetype end = equals + 1;
    while (end < text.size() && text[end].isSpace()) ++end;
    QString value;
    if (end < text.size() && text[end] == u'{') {  // {…} may hold ";"
      const qsizetype close = text.indexOf(u'}', end);
      const qsizetype stop = close < 0 ? text.size() : close + 1;
      value = text.mid(end, stop - end);
      end = text.indexOf(u';', stop);
    } else {
      const qsizetype semicolon = text.indexOf(u';', end);
      value = text.mid(end, (semicolon < 0 ? text.size() : semicolon) - end);
      end = semicolon;
    }
    if (!key.isEmpty()) fields.insert(key, value.trimmed());
    if (end < 0) break;
    i = end + 1;
  }
  return fields;
}

QString ReadDataLinkFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  // Data-link files are UTF-16 with a byte-order mark; some tools write UTF-8.
  QStringDecoder decoder(QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8));
  const QString text = decoder.decode(bytes);
  for (QString line : text.split(u'\n')) {
    line = line.trimmed();
    if (line.startsWith(u'\uFEFF')) line.remove(0, 1);
    if (line.isEmpty() || line.startsWith(u'[') || line.startsWith(u';')) continue;
    return line;
  }
  return {};
}

ConnectionPlan PlanConnection(const QString& given) {
  if (!given.toLower().contains(u".udl"_s)) return PlanFromString(given, true);
  const QString path = ResolveDataFileName(given.trimmed());
  if (!QFileInfo(path).isFile()) return Missing(path);
  const QString text = ReadDataLinkFile(path);
  if (text.isEmpty())
    return Failed(Bilingual(u"The data-link file \"%1\" holds no connection string."_s,
                            u"Файл связи с данными \"%1\" не содержит строки подключения."_s).arg(path));
  return PlanFromString(text, false);
}
