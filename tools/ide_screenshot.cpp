// Takes pictures of the development window for the documentation:
//   ide_screenshot SCRIPT OUTPUT.png [steps]      the window stepping through SCRIPT (all of it
//                                                  when no step count is given)
//   ide_screenshot --help WORD OUTPUT.png         the help window with the word help of WORD
//                                                  (a function, or a tutorial key such as For)
//   ide_screenshot --dark SCRIPT OUTPUT.png [steps]  the first form under a desktop's dark palette
// Run it under Xvfb (scripts/screenshots.sh).
#include <QApplication>
#include <QTimer>

#include "engine/run_control.h"
#include "app/unit_list.h"
#include "ide/editor_colours.h"
#include "ide/help_menu.h"
#include "ide/help_window.h"
#include "ide/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = app.arguments();
  if (args.size() > 1 && args[1] == QStringLiteral("--dark")) {
    QApplication::setStyle(QStringLiteral("Fusion"));  // a style that draws with the palette
    QApplication::setPalette(DarkDesktopPalette());
    args.removeAt(1);
  }
  if (args.size() < 3) return 2;
  RegisterUnits();
  if (args[1] == QStringLiteral("--help") && args.size() >= 4) {
    // The help window runs its own modal loop: the picture is taken inside it, and closing the
    // window ends that loop and the program.
    TForm_help help;
    help.resize(help.width(), 420);
    bool saved = false;
    QTimer::singleShot(400, &help, [&] {
      saved = help.grab().save(args[3]);
      help.close();
    });
    help.showLines(WordHelpText(args[2]).split(QLatin1Char('\r')));
    return saved ? 0 : 1;
  }
  TForm_Interpretator window({args[1]});
  window.resize(1000, 700);
  window.show();
  const int steps = args.size() > 3 ? args[3].toInt() : -1;
  QTimer::singleShot(300, &window, [&] {
    if (steps < 0) A_StartExecute(RunInitiator::Start);
    for (int i = 0; i < steps; ++i) A_StepExecute(RunInitiator::Step);
    QTimer::singleShot(300, &window, [&] {
      const bool saved = window.grab().save(args[2]);
      QApplication::exit(saved ? 0 : 1);
    });
  });
  return app.exec();
}
