#include "automation/spreadsheet/calc_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <csignal>

using namespace Qt::Literals::StringLiterals;

namespace {

QString& PipeName() {
  static QString name = u"tressaly_calc"_s;
  return name;
}

// The folder of the office program (where soffice.bin and the front-end plug-ins live).
QString OfficeProgramFolder() {
  const QString program = CalcProgram();
  return program.isEmpty() ? QString() : QFileInfo(QFileInfo(program).canonicalFilePath()).absolutePath();
}

}  // namespace

QString CalcPipeName() { return PipeName(); }
void SetCalcPipeName(const QString& name) { PipeName() = name; }

QString CalcProgram() {
  static const QString program = [] {
    QString found = QStandardPaths::findExecutable(u"soffice"_s);
    if (found.isEmpty() && QFileInfo::exists(u"/usr/lib/libreoffice/program/soffice"_s))
      found = u"/usr/lib/libreoffice/program/soffice"_s;
    return found;
  }();
  return program;
}

QString CalcVersion() {
  static const QString version = [] {
    if (CalcProgram().isEmpty()) return QString();
    QProcess process;
    process.start(CalcProgram(), {u"--version"_s});
    if (!process.waitForFinished(20000)) {
      process.kill();
      process.waitForFinished(1000);
      return QString();
    }
    const auto match = QRegularExpression(u"(\\d+)\\.(\\d+)"_s).match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1) + u'.' + match.captured(2) : QString();
  }();
  return version;
}

bool CalcMustBeHeadless() {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return true;
  // The graphical front ends are plug-ins named libvclplug_<toolkit>; the no-GUI build has none.
  return QDir(OfficeProgramFolder()).entryList({u"libvclplug_*"_s}, QDir::Files).isEmpty();
}

QString CalcAcceptArgument(const QString& pipeName) { return u"--accept=pipe,name="_s + pipeName + u";urp;"_s; }

bool SeedCalcProfile(const QString& profileFolder) {
  const QString user = profileFolder + u"/user"_s;
  const QString file = user + u"/registrymodifications.xcu"_s;
  if (QFileInfo::exists(file)) return true;
  if (!QDir().mkpath(user)) return false;
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return false;
  const QString text =
      u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
      "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
      "<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\">"
      "<value>%1</value></prop></item>\n"
      "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"FirstRun\" oor:op=\"fuse\">"
      "<value>false</value></prop></item>\n"
      "</oor:items>\n"_s.arg(CalcVersion());
  return out.write(text.toUtf8()) > 0;
}

bool StartCalcProcess(const QString& pipeName, const QString& profileFolder, bool headless, QString& error) {
  if (CalcProgram().isEmpty()) {
    error = u"soffice not found"_s;
    return false;
  }
  if (!SeedCalcProfile(profileFolder)) {
    error = u"cannot write the profile folder "_s + profileFolder;
    return false;
  }
  QStringList arguments{CalcAcceptArgument(pipeName),
                        u"-env:UserInstallation="_s + QUrl::fromLocalFile(profileFolder).toString(),
                        u"--norestore"_s, u"--nologo"_s, u"--nolockcheck"_s, u"--nodefault"_s};
  if (headless) arguments << u"--headless"_s;
  if (!QProcess::startDetached(CalcProgram(), arguments)) {
    error = u"cannot start "_s + CalcProgram();
    return false;
  }
  return true;
}

QList<qint64> ProcessesAcceptingPipe(const QString& pipeName) {
  const QByteArray wanted = CalcAcceptArgument(pipeName).toUtf8();
  QList<qint64> ids;
  const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    bool isNumber = false;
    const qint64 pid = entry.toLongLong(&isNumber);
    if (!isNumber) continue;
    QFile cmdline(u"/proc/"_s + entry + u"/cmdline"_s);
    if (!cmdline.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& word : cmdline.readAll().split('\0'))
      if (word == wanted) {
        ids << pid;
        break;
      }
  }
  return ids;
}

void EndProcessesAcceptingPipe(const QString& pipeName, int waitMs) {
  for (qint64 pid : ProcessesAcceptingPipe(pipeName)) ::kill(pid_t(pid), SIGKILL);
  QElapsedTimer timer;
  timer.start();
  while (!ProcessesAcceptingPipe(pipeName).isEmpty() && timer.elapsed() < waitMs) QThread::msleep(50);
}
