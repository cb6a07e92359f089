// General functions: regular expressions through the RegExp host.
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "functions/general_unit.h"
#include "functions/script_host.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The state of the last search of RE_GetM; it persists between calls.
int g_matchCount = 0;
int g_matchIndex = 0;

const QChar kQuote = u'"';

bool Statement(GeneralCall& call, const QString& statement) {
  QString error;
  if (VBScriptHost::Instance().ExecuteStatement(statement, error)) return true;
  call.failText(error);
  return false;
}

bool Expression(GeneralCall& call, const QString& expression, QString& value) {
  QString error;
  if (VBScriptHost::Instance().Eval(expression, value, error)) return true;
  call.failText(error);
  return false;
}

// A VBScript string expression that stands for exactly `text`: quotes doubled, line breaks
// (which cannot stand inside a literal) joined in as the vbCr and vbLf constants.
QString Literal(const QString& text) {
  QString s;
  s.reserve(text.size() + 2);
  s += kQuote;
  for (const QChar c : text) {
    if (c == kQuote) s += u"\"\""_s;
    else if (c == u'\r') s += u"\" & vbCr & \""_s;
    else if (c == u'\n') s += u"\" & vbLf & \""_s;
    else s += c;
  }
  s += kQuote;
  return s;
}

// Creates "re" from the pattern (argument `patternAt`) and the options (argument
// `patternAt + optionsOffset`, default "igm").
bool CreateExpression(GeneralCall& call, int patternAt, int optionsAt) {
  const QString options = call.has(optionsAt) ? call.text(optionsAt).toLower() : u"igm"_s;
  const auto truth = [](bool b) { return b ? u"True"_s : u"False"_s; };
  return Statement(call, u"Set re = new regexp"_s) &&
         Statement(call, u"re.IgnoreCase = "_s + truth(options.contains(u'i'))) &&
         Statement(call, u"re.Global = "_s + truth(options.contains(u'g'))) &&
         Statement(call, u"re.Pattern = "_s + Literal(call.text(patternAt)));
}

void RE_TestM(GeneralCall& call) {
  QString value;
  if (!CreateExpression(call, 0, 2) || !Expression(call, u"re.Test("_s + Literal(call.text(1)) + u')', value))
    return;
  call.setBool(value.toLower() == u"true"_s);
}

void RE_ReplaceM(GeneralCall& call) {
  QString value;
  if (!CreateExpression(call, 0, 3) ||
      !Expression(call, u"re.Replace("_s + Literal(call.text(1)) + u", "_s + Literal(call.text(2)) + u')', value))
    return;
  call.setText(value);
}

void RE_GetM(GeneralCall& call) {
  if (call.count() >= 3) {
    QString count;
    if (!CreateExpression(call, 1, 3) ||
        !Statement(call, u"Set Matches = re.Execute("_s + Literal(call.text(2)) + u')') ||
        !Expression(call, u"Matches.Count"_s, count))
      return;
    g_matchCount = count.toInt();
    g_matchIndex = 0;
  }
  if (call.count() >= 1) g_matchIndex = int(std::clamp<qint64>(call.integer(0), INT_MIN, INT_MAX));
  QString position = u"-1"_s, length = u"0"_s, text;
  if (g_matchIndex >= 0 && g_matchIndex < g_matchCount) {
    const QString item = u"Matches.Item("_s + QString::number(g_matchIndex) + u")."_s;
    if (!Expression(call, item + u"FirstIndex"_s, position) || !Expression(call, item + u"Length"_s, length) ||
        !Expression(call, item + u"Value"_s, text))
      return;
    ++g_matchIndex;
  }
  SetVariable(u"RE_Match_pos"_s, position, wkString);
  if (call.failed()) return;
  SetVariable(u"RE_Match_len"_s, length, wkString);
  if (call.failed()) return;
  call.setText(text);
}

constexpr UnitFunctionEntry kRegExpFunctions[] = {
    {u"RE_TestM", RE_TestM},
    {u"RE_GetM", RE_GetM},
    {u"RE_ReplaceM", RE_ReplaceM},
};

}  // namespace

std::span<const UnitFunctionEntry> RegExpFunctions() { return kRegExpFunctions; }

void ResetRegExpSearch() {
  g_matchCount = 0;
  g_matchIndex = 0;
}
