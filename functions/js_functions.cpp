#include "functions/js_functions.h"

#include <cmath>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/run_host.h"
#include "unit_support/described_unit.h"
#include "unit_support/descriptions.h"
#include "functions/js_math.h"
#include "functions/script_host.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString ArgumentText(const TWordStatus& a) {
  return IsStringKind(a.kind) ? JavaScriptStringLiteral(a.str) : a.str;
}

// The text of a regular-expression call: P is a regular-expression literal as written.
QString RegExpText(const QString& lowerName, const TWordArray& args) {
  const QString pattern = args[0].str, second = args[1].str;
  const QString quoted = JavaScriptStringLiteral(args[2].str);
  if (lowerName == u"regexp_matchjs"_s) {
    const QString index = args[1].float_val == -1 ? QString() : u'[' + second + u']';
    return u"var text="_s + quoted + u"; var result=text.match("_s + pattern +
           u"); (result)?result"_s + index + u":\"\";"_s;
  }
  if (lowerName == u"regexp_replacejs"_s)
    return u"var text="_s + quoted + u"; var result=text.replace("_s + pattern + u","_s +
           JavaScriptStringLiteral(second) + u"); result;"_s;
  return u"var myRE=("_s + pattern + u"); myRE.lastIndex="_s + second +
         u"; var result=myRE.exec("_s + quoted + u"); (result)?result.index:-1;"_s;
}

}  // namespace

QString JavaScriptStringLiteral(const QString& text) {
  // The script's text reaches JavaScript as the same characters: backslashes, quotes and the
  // characters that end a JavaScript line are escaped.
  QString s;
  s.reserve(text.size() + 2);
  s += u'"';
  for (const QChar c : text) {
    switch (c.unicode()) {
      case u'\\': s += u"\\\\"_s; break;
      case u'"': s += u"\\\""_s; break;
      case u'\r': s += u"\\r"_s; break;
      case u'\n': s += u"\\n"_s; break;
      case 0x2028: s += u"\\u2028"_s; break;
      case 0x2029: s += u"\\u2029"_s; break;
      default: s += c;
    }
  }
  s += u'"';
  return s;
}

QString JavaScriptCallText(const QString& name, const TWordArray& args) {
  const DescriptionTable& table = Table(TableId::JS);
  const int found = FindFunctionDescription(table, name);
  if (found < 0) return {};
  const T_FunctionDescription& d = MatchedEntry(table, found);
  // Synonyms and other letter cases reach the JavaScript name.
  const QString jsName = d.CanonicalName();
  const QString lower = jsName.toLower();
  if (d.Obj == jso_RE) return RegExpText(lower, args);

  const int count = ArgumentCount(args);
  const bool onObject = d.Obj == jso_Str || d.Obj == jso_Date;
  QString object;
  QStringList rest;
  for (int i = 0; i < count; ++i) {
    if (i == 0 && onObject)
      object = ArgumentText(args[i]);
    else
      rest << ArgumentText(args[i]);
  }
  QString call = jsName + u'(' + rest.join(u',') + u')';
  if (lower == u"fromcharcode"_s) call = u"String."_s + call;
  switch (d.Obj) {
    case jso_Date:
      return u"(new Date("_s + object + u"))."_s + call;
    case jso_Math:
      return u"Math."_s + call;
    default:
      return object.isEmpty() ? call : u'(' + object + u")."_s + call;
  }
}

void CallJavaScriptFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  result = EmptyWord;
  const DescriptionTable& table = Table(TableId::JS);
  const int found = FindFunctionDescription(table, name);
  if (found < 0) return;
  const T_FunctionDescription& d = MatchedEntry(table, found);
  double number = 0;
  if (d.Obj == jso_Math && NativeMathValue(d.CanonicalName().toLower(), args, number)) {
    SetNumber(result, number);
    return;
  }
  EvaluateInJavaScript(name, args, result);
}

void EvaluateInJavaScript(const QString& name, const TWordArray& args, TWordStatus& result) {
  result = EmptyWord;
  const DescriptionTable& table = Table(TableId::JS);
  const int found = FindFunctionDescription(table, name);
  if (found < 0) return;
  const T_FunctionDescription& d = MatchedEntry(table, found);
  QString value, error;
  if (!JavaScriptHost::Instance().Eval(JavaScriptCallText(name, args), value, error)) {
    RaiseScriptError(u"JavaScript: "_s + error);
    return;
  }
  if (d.ReturnType == u"bool"_s) {
    SetBool(result, value.toLower() == u"true"_s);
  } else if (d.ReturnType == u"int"_s || d.ReturnType == u"float"_s) {
    double number = 0;
    if (!ParseNumberText(value, number) || std::isnan(number)) {
      RaiseScriptError(MessageText(msg::kInvalidNumericResult, {name}));
      return;
    }
    SetNumber(result, number);
  } else {
    result.kind = wkString;
    result.str = value;
  }
}

FunctionUnit& JavaScriptUnit() {
  static DescribedUnit unit(TableId::JS, CallJavaScriptFunction,
                            {.programEnding = [] { JavaScriptHost::Instance().Release(); },
                             .numericFunction = JavaScriptNumericFunction});
  SetScriptInterruptCheck([] { return Host().PauseRequestedFromAnyThread(); });
  return unit;
}
