// Tressaly's entry point: the command line and the console mode.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "engine/messages.h"

namespace {

constexpr const char* kUsage =
    "usage: tressaly --console [--dump] [--lang en|ru] [--picture FILE.png] SCRIPT [PARAM...]\n";

int UsageError(const char* detail) {
  if (detail) std::fprintf(stderr, "tressaly: %s\n", detail);
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (!args.contains(QStringLiteral("--console")))
    return UsageError("the development window is not part of this build yet; use --console");

  QString script;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QStringLiteral("--console") || a == QStringLiteral("--dump")) continue;
    if (a == QStringLiteral("--lang") || a == QStringLiteral("--picture")) {
      if (++i >= args.size()) return UsageError("option needs a value");
      if (a == QStringLiteral("--lang")) {
        if (args[i] != QStringLiteral("en") && args[i] != QStringLiteral("ru"))
          return UsageError("--lang takes en or ru");
        SetLanguageIndex(args[i] == QStringLiteral("ru") ? 1 : 0);
      }
      continue;
    }
    script = a;
    break;
  }
  if (script.isEmpty()) return UsageError("no script given");
  if (!QFileInfo::exists(script)) {
    std::fprintf(stderr, "tressaly: script not found: %s\n", script.toLocal8Bit().constData());
    return 2;
  }
  std::fputs(
      "tressaly: the statement executor is not part of this build yet; the script was not run\n",
      stderr);
  return 1;
}
