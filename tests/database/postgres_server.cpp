#include "postgres_server.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTcpServer>

using namespace Qt::Literals::StringLiterals;

namespace {

// The newest installed server's programs.
QString ServerBinaries() {
  QStringList found;
  for (const QFileInfo& version : QDir(u"/usr/lib/postgresql"_s).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
    if (QFile::exists(version.filePath() + u"/bin/initdb"_s)) found << version.filePath() + u"/bin/"_s;
  found.sort();
  return found.isEmpty() ? QString() : found.last();
}

int FreeLoopbackPort() {
  QTcpServer probe;
  return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Hands the folder and everything in it to `user`.
void GiveTo(const QString& folder, const passwd* user) {
  ::chown(folder.toLocal8Bit().constData(), user->pw_uid, user->pw_gid);
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) ::chown(it.next().toLocal8Bit().constData(), user->pw_uid, user->pw_gid);
}

}  // namespace

bool PostgresServer::RunTool(const QString& tool, const QStringList& args) {
  QProcess process;
  process.setWorkingDirectory(dir_.path());
  process.setProcessChannelMode(QProcess::MergedChannels);
  if (::geteuid() == 0)
    process.start(u"runuser"_s, QStringList{u"-u"_s, u"nobody"_s, u"--"_s, bin_ + tool} + args);
  else
    process.start(bin_ + tool, args);
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    failure_ = tool + u": "_s + QString::fromLocal8Bit(process.readAll());
    return false;
  }
  return true;
}

bool PostgresServer::Start() {
  bin_ = ServerBinaries();
  if (bin_.isEmpty()) {
    failure_ = u"PostgreSQL is not installed (package postgresql)"_s;
    return false;
  }
  if (::geteuid() == 0) {
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) {
      failure_ = u"no user \"nobody\" to run the server as"_s;
      return false;
    }
    ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
    GiveTo(dir_.path(), nobody);
  }
  port_ = FreeLoopbackPort();
  const QString data = dir_.filePath(u"data"_s);
  if (!RunTool(u"initdb"_s, {u"-D"_s, data, u"-U"_s, user(), u"-A"_s, u"trust"_s, u"-E"_s, u"UTF8"_s,
                             u"--locale=C"_s, u"--no-sync"_s}))
    return false;
  const QString options = u"-p %1 -k %2 -c listen_addresses=127.0.0.1 -F"_s.arg(port_).arg(dir_.path());
  if (!RunTool(u"pg_ctl"_s, {u"-D"_s, data, u"-o"_s, options, u"-l"_s, dir_.filePath(u"server.log"_s), u"-w"_s,
                             u"start"_s}))
    return false;
  started_ = true;
  return true;
}

PostgresServer::~PostgresServer() {
  if (started_) RunTool(u"pg_ctl"_s, {u"-D"_s, dir_.filePath(u"data"_s), u"-m"_s, u"immediate"_s, u"-w"_s, u"stop"_s});
}
