#include "automation/processes.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray ReadProcFile(qint64 id, const char* name) {
  QFile file(u"/proc/%1/%2"_s.arg(id).arg(QLatin1StringView(name)));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The state letter of /proc/<id>/stat (after the parenthesised command, which may hold blanks).
char ProcessState(qint64 id) {
  const QByteArray stat = ReadProcFile(id, "stat");
  const qsizetype close = stat.lastIndexOf(')');
  return close >= 0 && close + 2 < stat.size() ? stat[close + 2] : '?';
}

// The executable's file name: the link /proc/<id>/exe where we may read it, else the first
// word of the command line, else the kernel's short name (kernel threads).
QString ExecutableName(qint64 id) {
  const QString target = QFileInfo(u"/proc/%1/exe"_s.arg(id)).symLinkTarget();
  if (!target.isEmpty()) return QFileInfo(target.endsWith(u" (deleted)"_s) ? target.chopped(10) : target).fileName();
  const QByteArray commandLine = ReadProcFile(id, "cmdline");
  const QByteArray first = commandLine.left(commandLine.indexOf('\0'));
  if (!first.isEmpty()) return QFileInfo(QString::fromLocal8Bit(first)).fileName();
  return QString::fromLocal8Bit(ReadProcFile(id, "comm").trimmed());
}

bool ReapIfChild(pid_t pid) {
  // SIGKILL is delivered at once, but the child becomes reapable a moment later.
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 2000) {
    const pid_t r = waitpid(pid, nullptr, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) return true;
    QThread::msleep(5);
  }
  return false;
}

}  // namespace

std::vector<ProcessEntry> ProcessSnapshot() {
  std::vector<ProcessEntry> processes;
  const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    bool number = false;
    const qint64 id = entry.toLongLong(&number);
    if (!number) continue;
    const char state = ProcessState(id);
    if (state == '?' || state == 'Z' || state == 'X') continue;  // gone, or ended and not yet reaped
    processes.push_back({id, ExecutableName(id)});
  }
  std::sort(processes.begin(), processes.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
  return processes;
}

bool TerminateProcess(qint64 id) {
  if (id <= 0 || id > INT_MAX || ProcessState(id) == '?') return false;
  if (kill(pid_t(id), SIGKILL) != 0) return false;
  ReapIfChild(pid_t(id));
  return true;
}
