// Tressaly's entry point: the console mode, or the development window.
#include <QApplication>

#include "app/console_mode.h"
#include "functions/described_unit.h"
#include "ide/main_window.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (qstrcmp(argv[i], "--console") == 0) {
      QCoreApplication app(argc, argv);
      return RunConsoleMode(app.arguments().mid(1));
    }
  QApplication app(argc, argv);
  RegisterFunctionLibrary();
  TForm_Interpretator window(app.arguments().mid(1));
  window.show();
  return app.exec();
}
