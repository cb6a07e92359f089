#include "engine/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mutex>

using namespace Qt::Literals::StringLiterals;

namespace {

std::mutex folderMutex;
QString cachedFolder;  // empty until first computed

QString WithSlash(const QString& path) {
  return path.endsWith(u'/') ? path : path + u'/';
}

QString ExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Without an application object (tests, tools) the kernel still knows the executable.
  return QFileInfo(QFileInfo(u"/proc/self/exe"_s).symLinkTarget()).absolutePath();
}

QString ChooseFolder() {
  const QString home = qEnvironmentVariable("TRESSALY_HOME");
  if (!home.isEmpty()) return WithSlash(QDir(home).absolutePath());
  const QString exeFolder = ExecutableFolder();
  if (!exeFolder.isEmpty() && QFileInfo(exeFolder + u"/Scripts"_s).isDir())
    return WithSlash(exeFolder);
  return QDir::homePath() + u"/.local/share/Tressaly/"_s;
}

}  // namespace

QString ProgramFolder() {
  std::lock_guard lock(folderMutex);
  if (cachedFolder.isEmpty()) {
    cachedFolder = ChooseFolder();
    QDir dir;
    for (const QString& sub : {u"Scripts"_s, u"Temp"_s, u"pictures"_s, u"js"_s})
      dir.mkpath(cachedFolder + sub);
  }
  return cachedFolder;
}

QString ShippedFilesFolder(const QString& kind) {
  const QString installed = ExecutableFolder() + u"/../share/tressaly/"_s + kind;
  if (QFileInfo(installed).isDir()) return QDir(installed).absolutePath();
  return u":/tressaly/"_s + kind;
}

QString ScriptsFolder() {
  return ProgramFolder() + u"Scripts/"_s;
}

void ResetProgramFolderForTests() {
  std::lock_guard lock(folderMutex);
  cachedFolder.clear();
}

bool IsAbsoluteScriptPath(const QString& name) {
  const auto isSlash = [](QChar c) { return c == u'/' || c == u'\\'; };
  if (name.isEmpty()) return false;
  if (isSlash(name[0])) return true;
  if (name.size() >= 2 && name[0] == u'~' && isSlash(name[1])) return true;
  const char16_t first = name[0].unicode();
  return name.size() >= 2 && name[1] == u':' &&
         ((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'));
}

QString ResolveScriptName(const QString& name) {
  QString path = name;
  path.replace(u'\\', u'/');
  if (path.startsWith(u"~/"_s)) return QDir::homePath() + path.mid(1);
  if (IsAbsoluteScriptPath(path)) return path;
  if (!path.contains(u'/')) return ScriptsFolder() + path;
  return ProgramFolder() + path;
}

void CopyMissingFiles(const QString& sourceFolder, const QString& targetFolder) {
  const QDir source(sourceFolder), target(targetFolder);
  for (const QString& name : source.entryList(QDir::Files)) {
    if (target.exists(name)) continue;
    QFile from(source.filePath(name));
    if (!from.open(QIODevice::ReadOnly)) continue;
    QFile copy(target.filePath(name));
    if (copy.open(QIODevice::WriteOnly)) copy.write(from.readAll());
  }
}
