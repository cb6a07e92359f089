// Runs scripts with the function library registered, for the tests of the built-in functions.
#pragma once

#include "../engine/script_runner.h"
#include "functions/described_unit.h"

class FunctionTest : public ScriptTest {
 protected:
  void SetUp() override {
    RegisterFunctionLibrary();
    ScriptTest::SetUp();
  }
  // Runs one line "x = <expression>" and returns x's value text ("" after an error).
  QString Eval(const QString& expression) {
    Run({QStringLiteral("x = ") + expression});
    return Value(QStringLiteral("x"));
  }
};
