// A failure raised inside an operation. The step catches it and turns its text into the step's
// error (or the TRY error), so it never crosses a unit's boundary as an exception.
#pragma once

#include <QString>
#include <exception>

class ScriptException : public std::exception {
 public:
  explicit ScriptException(QString message) : message_(std::move(message)) {}
  const QString& message() const { return message_; }
  const char* what() const noexcept override { return "script error"; }

 private:
  QString message_;
};
