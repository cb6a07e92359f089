// Takes a picture of the development window running a script, for the documentation:
//   ide_screenshot SCRIPT OUTPUT.png [steps]
// It loads SCRIPT, steps through it the given number of lines (default: runs it to the end),
// and saves the window as PNG. Run it under Xvfb (scripts/screenshots.sh).
#include <QApplication>
#include <QTimer>

#include "engine/run_control.h"
#include "functions/described_unit.h"
#include "ide/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) return 2;
  RegisterFunctionLibrary();
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
