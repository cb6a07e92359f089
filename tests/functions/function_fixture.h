// Runs scripts with the function library registered, for the tests of the built-in functions.
#pragma once

#include "../engine/script_runner.h"
#include <QCoreApplication>

#include "app/unit_list.h"

class FunctionTest : public ScriptTest {
 protected:
  void SetUp() override {
    // The JavaScript engine needs an application object, as in the program.
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "functions_tests";
      static char* argv[] = {name, nullptr};
      static QCoreApplication app(argc, argv);
    }
    RegisterUnits();
    ScriptTest::SetUp();
  }
  // Runs one line "x = <expression>" and returns x's value text ("" after an error).
  QString Eval(const QString& expression) {
    Run({QStringLiteral("x = ") + expression});
    return Value(QStringLiteral("x"));
  }
};
