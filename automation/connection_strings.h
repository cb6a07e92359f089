// Which database a connection string reaches, and through which Qt Sql driver. Scripts write
// OLE DB strings or name data-link files (.udl); here they become an SQLite file (QSQLITE), a
// PostgreSQL server (QPSQL) or an ODBC connection (QODBC).
#pragma once

#include <QMap>
#include <QString>
#include <optional>

struct DatabaseTarget {
  QString driver;        // "QSQLITE", "QPSQL" or "QODBC"
  QString databaseName;  // the SQLite file, the PostgreSQL database or the ODBC string
  QString host;
  int port = -1;
  QString user, password;

  // A server that wants a user and a password the string does not give.
  bool lacksLogin() const { return driver != u"QSQLITE" && (user.isEmpty() || password.isEmpty()); }
};

// What a connection string leads to: a target, or the reason there is none (a catalogue message
// with its argument, or a text of its own).
struct ConnectionPlan {
  std::optional<DatabaseTarget> target;
  int message = 0;
  QString messageArg;
  QString errorText;
};

// The "key=value" fields of a connection string, keys lower-cased and values trimmed; a value
// in braces may hold ";".
QMap<QString, QString> ConnectionStringFields(const QString& text);

// The connection string a data-link file holds (UTF-16 or UTF-8 text: an [oledb] section,
// comment lines beginning with ";", then the string). Empty when the file cannot be read.
QString ReadDataLinkFile(const QString& path);

// Plans the connection for what a script gives DB_Connect: a connection string, or the name of
// a .udl file (a name without a folder lies in the program folder).
ConnectionPlan PlanConnection(const QString& given);
