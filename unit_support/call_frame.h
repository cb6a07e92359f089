// The call frame that every function unit builds on: how a function reads its arguments,
// writes its result, creates result arrays and reports misuse; and the table dispatcher that
// finds a function's handler by its canonical name.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <initializer_list>
#include <span>

#include "engine/recent_texts.h"
#include "engine/messages.h"
#include "engine/words.h"
#include "unit_support/descriptions.h"

// How a unit counts the arguments of a call.
enum class ArgumentCountPolicy {
  UpToFirstNone,        // leading words whose kind is not wkNone (general functions)
  UpToFirstEmptyText,   // leading words with a text (graphics)
  WordsWithTextOrKind,  // every word that has a text or a kind (dialogs, database, system, network)
};

int CountArguments(const TWordArray& args, ArgumentCountPolicy policy);

class GeneralCall {
 public:
  GeneralCall(const QString& name, const TWordArray& args, TWordStatus& result,
              ArgumentCountPolicy policy = ArgumentCountPolicy::UpToFirstNone);

  const QString& name() const { return name_; }
  // Number of arguments given, as the unit's counting policy sees them.
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
  // wkString) as an array declaration would; sets the result to it and returns its 1-based
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

using UnitHandler = void (*)(GeneralCall&);

struct UnitFunctionEntry {
  QStringView name;  // canonical name as in the formula
  UnitHandler handler;
};

// A unit's functions, gathered from its families of {name, handler} entries: the dispatcher
// runs the handler of a canonical name with a call frame of the unit's counting policy.
class HandlerTable {
 public:
  HandlerTable(TableId table, std::initializer_list<std::span<const UnitFunctionEntry>> families,
               ArgumentCountPolicy policy = ArgumentCountPolicy::UpToFirstNone);
  void Call(const QString& name, const TWordArray& args, TWordStatus& result) const;

 private:
  TableId table_;
  ArgumentCountPolicy policy_;
  QHash<QString, UnitHandler> handlers_;  // lower-case name -> handler
  mutable RecentByText<UnitHandler> recent_;  // by the name as called: no lower-casing each call
};

// The locale's decimal separator, used by the system number form.
QChar SystemDecimalSeparator();
