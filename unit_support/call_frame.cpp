#include "unit_support/call_frame.h"

#include <QLocale>
#include <cmath>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/local_texts.h"
#include "engine/number_text.h"
#include "engine/word_reader.h"

using namespace Qt::Literals::StringLiterals;

int CountArguments(const TWordArray& args, ArgumentCountPolicy policy) {
  switch (policy) {
    case ArgumentCountPolicy::UpToFirstNone:
      return ArgumentCount(args);
    case ArgumentCountPolicy::UpToFirstEmptyText: {
      int n = 0;
      while (n < 99 && n < args.count() && !args[n].str.isEmpty()) ++n;
      return n;
    }
    case ArgumentCountPolicy::WordsWithTextOrKind: {
      int n = 0;
      for (int i = 0; i < args.count() && i < 99; ++i)
        if (!args[i].str.isEmpty() || args[i].kind != wkNone) ++n;
      return n;
    }
  }
  return 0;
}

GeneralCall::GeneralCall(const QString& name, const TWordArray& args, TWordStatus& result,
                         ArgumentCountPolicy policy)
    : name_(name), args_(args), result_(result), count_(CountArguments(args, policy)) {}

qint64 GeneralCall::integer(int n) const {
  const double v = RoundHalfEven(number(n));
  if (!(v == v)) return 0;
  if (v >= 9.2e18) return INT64_MAX;
  if (v <= -9.2e18) return INT64_MIN;
  return qint64(v);
}

void GeneralCall::setText(const QString& text) {
  result_ = EmptyWord;
  result_.kind = wkString;
  result_.str = text;
}

void GeneralCall::setNumber(double value) {
  result_ = EmptyWord;
  SetNumber(result_, value);
}

void GeneralCall::setSystemNumber(double value) {
  setNumber(value);
  const QChar separator = SystemDecimalSeparator();
  if (separator != u'.') result_.str.replace(u'.', separator);
}

void GeneralCall::setBool(bool value) {
  result_ = EmptyWord;
  SetBool(result_, value);
}

void GeneralCall::setArray(const QString& arrayName) {
  result_ = EmptyWord;
  result_.kind = wkArrayName;
  result_.str = arrayName;
}

int GeneralCall::newArray(const QList<int>& sizes, TWordKind elementType) {
  const QString name = NewTemporaryArrayName();
  const int index = declareArray(name, sizes, elementType);
  if (index > 0) setArray(name);
  return index;
}

int GeneralCall::declareArray(const QString& name, const QList<int>& sizes, TWordKind elementType) {
  QList<qint64> dims;
  for (int size : sizes) dims << size;
  // Result arrays hold texts or floats.
  return DeclareArrayOf(name, dims, elementType == wkString ? wkString : wkFloat);
}

void GeneralCall::fail(int message, MessageArgs args) {
  RaiseScriptError(MessageText(message, args));
}
void GeneralCall::failText(const QString& text) {
  RaiseScriptError(text);
}
bool GeneralCall::failed() const {
  return ErrorPending();
}

QChar SystemDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.isEmpty() ? QChar(u'.') : point[0];
}

HandlerTable::HandlerTable(TableId table, std::initializer_list<std::span<const UnitFunctionEntry>> families,
                           ArgumentCountPolicy policy)
    : table_(table), policy_(policy) {
  for (auto family : families)
    for (const UnitFunctionEntry& e : family) handlers_.insert(e.name.toString().toLower(), e.handler);
}

void HandlerTable::Call(const QString& name, const TWordArray& args, TWordStatus& result) const {
  result = EmptyWord;
  UnitHandler handler = nullptr;
  if (const UnitHandler* recent = recent_.Find(name)) {
    handler = *recent;
  } else {
    handler = handlers_.value(name.toLower());
    if (handler) recent_.Keep(name, handler);
  }
  if (!handler) {
    if (FindFunctionDescription(Table(table_), name) >= 0)
      RaiseScriptError(LocalText(LocalTextId::FunctionNotAvailable, {name}));
    else
      RaiseScriptError(u"Ошибка интерпретатора. Не найдена функция \""_s + name + u"\"."_s);
    return;
  }
  GeneralCall call(name, args, result, policy_);
  handler(call);
}
