// The common frame of the general functions: how a function reads its arguments, writes its
// result, creates result arrays and reports misuse. Each family of functions (strings, math,
// dates, files, arrays, matrices, misc) lists its functions in a table of GeneralFunctionEntry.
#pragma once

#include <QList>
#include <QString>
#include <span>

#include "engine/messages.h"
#include "engine/words.h"

class GeneralCall {
 public:
  GeneralCall(const QString& name, const TWordArray& args, TWordStatus& result);

  const QString& name() const { return name_; }
  // Number of leading arguments whose kind is not wkNone.
  int count() const { return count_; }
  // Argument n (0-based) is given.
  bool has(int n) const { return n < count_; }
  const TWordStatus& arg(int n) const { return args_[n]; }
  const QString& text(int n) const { return args_[n].str; }
  double number(int n) const { return args_[n].float_val; }
  // The argument's number rounded half to even, clamped to the 64-bit range.
  qint64 integer(int n) const;
  // The argument's number rounded, or `fallback` when it is not given.
  qint64 integerOr(int n, qint64 fallback) const { return has(n) ? integer(n) : fallback; }

  void setText(const QString& text);
  // Numbers in the dot form ("." separator) or the system form (the locale's separator).
  void setNumber(double value);
  void setSystemNumber(double value);
  void setBool(bool value);
  void setArray(const QString& arrayName);
  TWordStatus& result() { return result_; }

  // Creates a temporary result array of the given sizes and element type (wkFloat or
  // wkString) through an array declaration; sets the result to it and returns its 1-based
  // index, or 0 when the declaration failed (its error stands).
  int newArray(const QList<int>& sizes, TWordKind elementType);
  // The same under a name of the caller's choice; the result is not changed.
  int declareArray(const QString& name, const QList<int>& sizes, TWordKind elementType);

  // Reports misuse with a catalogue message; the function then returns.
  void fail(int message, MessageArgs args = {});
  void failText(const QString& text);
  bool failed() const;

 private:
  const QString& name_;
  const TWordArray& args_;
  TWordStatus& result_;
  int count_;
};

using GeneralHandler = void (*)(GeneralCall&);

struct GeneralFunctionEntry {
  QStringView name;  // canonical name as in the formula
  GeneralHandler handler;
};

// The families of general functions; each is defined in its own file.
std::span<const GeneralFunctionEntry> StringFunctions();
std::span<const GeneralFunctionEntry> MathFunctions();
std::span<const GeneralFunctionEntry> DateTimeFunctions();
std::span<const GeneralFunctionEntry> FileFunctions();
std::span<const GeneralFunctionEntry> ArrayFunctions();
std::span<const GeneralFunctionEntry> MatrixFunctions();
std::span<const GeneralFunctionEntry> MiscFunctions();
std::span<const GeneralFunctionEntry> CommandFunctions();
std::span<const GeneralFunctionEntry> RegExpFunctions();

// The dispatcher of the general table: runs the function with the canonical `name`.
void CallGeneralFunction(const QString& name, const TWordArray& args, TWordStatus& result);

// The locale's decimal separator, used by the system number form.
QChar SystemDecimalSeparator();
