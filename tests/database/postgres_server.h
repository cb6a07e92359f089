// A private PostgreSQL server for the tests: a fresh cluster in a temporary folder, listening on
// a free loopback port, stopped and removed with the object. The server refuses to run as root,
// so under root it runs as the user "nobody".
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class PostgresServer {
 public:
  PostgresServer() = default;
  ~PostgresServer();

  bool Start();
  int port() const { return port_; }
  QString user() const { return QStringLiteral("tressaly"); }
  QString failure() const { return failure_; }

 private:
  bool RunTool(const QString& tool, const QStringList& args);

  QTemporaryDir dir_;
  QString bin_;
  int port_ = 0;
  bool started_ = false;
  QString failure_;
};
