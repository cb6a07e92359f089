// Tressaly's entry point: the command line chooses the console mode or the window.
#include <QCoreApplication>
#include <cstdio>

#include "app/console_mode.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.contains(QStringLiteral("--console"))) return RunConsoleMode(args);
  std::fputs(
      "tressaly: the development window is not part of this build yet; run a script with\n"
      "  tressaly --console [--dump] [--lang en|ru] SCRIPT [PARAM...]\n",
      stderr);
  return 2;
}
