// Tressaly's entry point: the console mode, or the development window.
#include <QApplication>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/command_line.h"
#include "app/console_mode.h"
#include "app/unit_list.h"
#include "automation/x11_display.h"
#include "engine/function_units.h"
#include "ide/main_window.h"

namespace {

QStringList ArgumentsAfterName(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  const StartChoice start = ChooseStart(ArgumentsAfterName(argc, argv));
  switch (start.kind) {
    case StartKind::Help:
      std::fputs(UsageText().toUtf8().constData(), stdout);
      return 0;
    case StartKind::Version:
      std::fputs(VersionText().toUtf8().constData(), stdout);
      return 0;
    case StartKind::UsageError:
      return ReportUsageError(start.problem);
    case StartKind::Console: {
      // No window, but the graphics area's text needs fonts: the GUI application runs on the
      // offscreen platform, which needs no display. With an X display it runs on X instead,
      // so that the clipboard is the desktop's; text is laid out at the same 96 dpi.
      char platformOption[] = "-platform";
      char offscreen[] = "offscreen";
      char xcb[] = "xcb";
      const bool onX = XDisplayOrNull() != nullptr;
      if (onX && !qEnvironmentVariableIsSet("QT_FONT_DPI")) qputenv("QT_FONT_DPI", "96");
      std::vector<char*> arguments(argv, argv + argc);
      arguments.insert(arguments.begin() + 1, {platformOption, onX ? xcb : offscreen});
      int count = int(arguments.size());
      arguments.push_back(nullptr);
      // stderr carries the run's error and nothing else: Qt's own notices (such as the font
      // set-up's remarks about the environment) are not part of it.
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toUtf8().constData());
      });
      auto app = std::make_unique<QGuiApplication>(count, arguments.data());
      const int status = RunConsoleMode(app->arguments().mid(1));
      // Offscreen, the application is left standing at the end: taking it down makes the font
      // set-up read its whole configuration only to discard it, which costs more than the whole
      // start. The program's own work has ended with RunConsoleMode (the units' end hooks). On
      // X it is taken down, which sends what is still queued for the X server.
      if (!onX) (void)app.release();
      return status;
    }
    case StartKind::Window:
      break;
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
  // Lets the desktop match the window to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tressaly.Tressaly"));
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
