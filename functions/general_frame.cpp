#include "functions/general_frame.h"

#include <QLocale>
#include <cmath>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/local_texts.h"
#include "engine/number_text.h"
#include "engine/word_reader.h"
#include "functions/descriptions.h"

using namespace Qt::Literals::StringLiterals;

GeneralCall::GeneralCall(const QString& name, const TWordArray& args, TWordStatus& result)
    : name_(name), args_(args), result_(result), count_(ArgumentCount(args)) {}

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
  QStringList dims;
  for (int s : sizes) dims << QString::number(s);
  const QString line = u"array "_s + name + u'[' + dims.join(u',') + u']' +
                       (elementType == wkString ? u"string"_s : u"float"_s);
  TWordArray words;
  SplitWords(line, words);
  if (failed()) return 0;
  DeclareArray(words);
  if (failed()) return 0;
  return FindArrayAtLevel(name, Engine().FunctionLevel);
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

namespace {

const QHash<QString, GeneralHandler>& Handlers() {
  static const QHash<QString, GeneralHandler> handlers = [] {
    QHash<QString, GeneralHandler> h;
    for (auto family : {StringFunctions(), MathFunctions(), DateTimeFunctions(), FileFunctions(),
                        ArrayFunctions(), MatrixFunctions(), MiscFunctions(), CommandFunctions(),
                        RegExpFunctions()})
      for (const GeneralFunctionEntry& e : family) h.insert(e.name.toString().toLower(), e.handler);
    return h;
  }();
  return handlers;
}

}  // namespace

void CallGeneralFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  result = EmptyWord;
  const GeneralHandler handler = Handlers().value(name.toLower());
  if (!handler) {
    if (FindFunctionDescription(Table(TableId::General), name) >= 0)
      RaiseScriptError(LocalText(LocalTextId::FunctionNotAvailable, {name}));
    else
      RaiseScriptError(u"Ошибка интерпретатора. Не найдена функция \""_s + name + u"\"."_s);
    return;
  }
  GeneralCall call(name, args, result);
  handler(call);
}
