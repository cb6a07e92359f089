// Tressaly's entry point: the console mode, or the development window.
#include <QApplication>
#include <cstdio>

#include "app/console_mode.h"
#include "app/unit_list.h"
#include "engine/function_units.h"
#include "ide/main_window.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (qstrcmp(argv[i], "--console") == 0) {
      QCoreApplication app(argc, argv);
      return RunConsoleMode(app.arguments().mid(1));
    }
  const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                       qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
  if (!display) {
    std::fputs("tressaly: no display to open the window on; run a script without one with\n"
               "  tressaly --console [--dump] [--lang en|ru] SCRIPT [PARAM...]\n",
               stderr);
    return 2;
  }
  QApplication app(argc, argv);
  RegisterUnits();
  int status = 0;
  {
    TForm_Interpretator window(app.arguments().mid(1));
    window.show();
    status = app.exec();
  }
  NotifyProgramEnding();
  return status;
}
