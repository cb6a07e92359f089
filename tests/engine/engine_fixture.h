// Common fixture: a fresh engine in English before every test.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "engine/engine_state.h"
#include "engine/messages.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngine();
    SetLanguageIndex(0);
  }
  void TearDown() override { SetLanguageIndex(0); }
  static const QString& Error() { return Engine().ErrorText; }
  // The error text a message gives on the current line.
  static QString Expected(int number, MessageArgs args = {}) {
    return MessageText(number, args) + QStringLiteral("\r\r") +
           MessageText(2, {Engine().CurrentLine});
  }
};
