// The word reader: literals, operators, brackets, numbers and names.
#include "engine/word_reader.h"

#include <array>

#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/function_units.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct KeywordEntry {
  QStringView upper;
  TWordKind kind;
};

constexpr std::array<KeywordEntry, 18> kKeywords = {{
    {u"FOR", wkFor},
    {u"REPEAT", wkRepeat},
    {u"IF", wkIf},
    {u"ELSE", wkElse},
    {u"BREAK", wkBreak},
    {u"BREAKIF", wkBreakIf},
    {u"CONTINUE", wkContinue},
    {u"CONTINUEIF", wkContinueIf},
    {u"RETURN", wkReturn},
    {u"FUNCTION", wkFunction},
    {u"ARRAY", wkArrayDescription},
    {u"INT", wkIntegerDescription},
    {u"INTEGER", wkIntegerDescription},
    {u"FLOAT", wkFloatDescription},
    {u"DATETIME", wkDatetimeDescription},
    {u"STRING", wkStringDescription},
    {u"TRY", wkTry},
    {u"STOP", wkStop},
}};

bool IsOperatorStart(QChar c) {
  static constexpr QStringView kStarts = u"%&*+-/<=>^|√∛∜²³";
  return kStarts.contains(c);
}

// Makes `word` the operator written `text`.
void SetOperator(TWordStatus& word, const QString& text) {
  word.kind = wkOperator;
  word.str = text;
  word.op = FindOperator(text);
  word.oper_prioritet = kOperatorTable[word.op].priority;
}

bool IsPowerSuffix(QChar c) {
  return c == u'²' || c == u'³';
}

void ReportUnexpected(const QString& text, QChar c, int position) {
  RaiseScriptError(MessageText(msg::kUnexpectedSymbol, {QString(c), text, position}));
}

// Reads a quoted literal starting at index i (the opening quote).
void ReadLiteral(const QString& text, qsizetype& i, TWordStatus& word) {
  const QChar quote = text[i];
  word.kind = quote == u'"' ? wkStringDQ : wkString;
  const qsizetype close = text.indexOf(quote, i + 1);
  if (close < 0) {
    word.str = text.mid(i + 1);
    i = text.size();
    RaiseScriptError(MessageText(msg::kUnterminatedString, {text}));
    return;
  }
  word.str = text.mid(i + 1, close - i - 1);
  i = close + 1;
}

// Reads a number starting at the digit at index i.
void ReadNumber(const QString& text, qsizetype& i, TWordStatus& word) {
  const qsizetype start = i, n = text.size();
  bool seenDot = false, seenExponent = false;
  while (i < n) {
    const QChar c = text[i];
    if (IsAsciiDigit(c)) {
      ++i;
    } else if (c == u'.') {
      if (i + 1 >= n || text[i + 1] == u'.') break;
      if (seenDot) {
        RaiseScriptError(MessageText(msg::kInvalidNumber, {text.mid(start, i - start)}));
        return;
      }
      seenDot = true;
      ++i;
    } else if (c == u'e' || c == u'E') {
      if (seenExponent) {
        RaiseScriptError(MessageText(msg::kInvalidNumber, {text.mid(start, i - start)}));
        return;
      }
      seenExponent = true;
      ++i;
      if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    } else {
      break;
    }
  }
  word.str = text.mid(start, i - start);
  if (!ParseNumberText(word.str, word.float_val)) {
    RaiseScriptError(MessageText(msg::kInvalidNumber, {word.str}));
    return;
  }
  word.kind = wkFloat;
}

// Finds the ")" that matches the "(" at index open, skipping brackets inside literals.
// Returns its index, or -1 with the error reported.
qsizetype MatchingCallBracket(const QString& text, qsizetype open, const QString& name) {
  bool inApostrophe = false, inQuote = false;
  int depth = 0;
  for (qsizetype i = open; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\'' && !inQuote)
      inApostrophe = !inApostrophe;
    else if (c == u'"' && !inApostrophe)
      inQuote = !inQuote;
    else if (inApostrophe || inQuote)
      continue;
    else if (c == u'(')
      ++depth;
    else if (c == u')' && --depth == 0)
      return i;
  }
  if (inApostrophe || inQuote)
    RaiseScriptError(MessageText(msg::kUnterminatedString, {text}));
  else
    RaiseScriptError(MessageText(msg::kBracketAfterFunction, {name}));
  return -1;
}

// Reads a name starting at index i, classifies it and, for a call word, takes its arguments.
void ReadName(const QString& text, qsizetype& i, TWordStatus& word, bool strict) {
  const qsizetype start = i, n = text.size();
  while (i < n && IsIdentifierChar(text[i])) ++i;
  if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
    ReportUnexpected(text, text[i], int(i) + 1);
    return;
  }
  const QString name = text.mid(start, i - start);
  ClassifyName(name, word);
  if (!IsCallKind(word.kind)) return;

  if (i < n && IsPowerSuffix(text[i])) {
    word.power = text[i] == u'²' ? 2 : 3;
    ++i;
  }
  if (!strict) return;
  const qsizetype afterName = i;
  qsizetype open = i;
  while (open < n && text[open] == u' ') ++open;
  if (open >= n || text[open] != u'(') {
    RaiseScriptError(MessageText(msg::kFunctionNeedsBracket, {name}));
    return;
  }
  const qsizetype close = MatchingCallBracket(text, open, name);
  if (close < 0) return;
  word.str = name + text.mid(afterName, close + 1 - afterName);
  i = close + 1;
}

}  // namespace

void ClassifyName(const QString& name, TWordStatus& word) {
  const QString upper = AsciiUpper(name);
  word.str = name;
  if (upper == u"TRUE"_s || upper == u"FALSE"_s) {
    word.kind = wkBool;
    word.bool_val = upper == u"TRUE"_s;
    word.float_val = word.bool_val ? 1 : 0;
    word.str = word.bool_val ? u"true"_s : u"false"_s;
    return;
  }
  if (upper == u"OR"_s || upper == u"AND"_s || upper == u"NOT"_s) {
    SetOperator(word, upper);
    return;
  }
  for (const KeywordEntry& k : kKeywords)
    if (k.upper == upper) {
      word.kind = k.kind;
      return;
    }
  if (const int v = FindVariable(name); v >= 0) {
    word.kind = wkVariableName;
    word.var_index = v + 1;
    return;
  }
  QString constantName, valueText;
  if (LookupConstant(name, &constantName, &valueText) >= 0) {
    word.kind = wkConst;
    word.str = constantName;
    word.float_val = ConstantValue(valueText);
    return;
  }
  if (FindArray(name) > 0) {
    word.kind = wkArrayName;
    return;
  }
  const FunctionClass f = ClassifyFunctionName(name);
  if (f.kind == wkNone) {
    word.kind = wkUnknownIdentifier;
    return;
  }
  word.kind = f.kind;
  if (f.kind == wkJS_Function) word.func_index = f.slot;
}

void ReadWord(const QString& text, int& position, TWordStatus& word, bool strict) {
  word = EmptyWord;
  qsizetype i = position - 1;
  const qsizetype n = text.size();
  while (i < n && text[i] == u' ') ++i;
  if (i >= n) {
    position = int(n) + 1;
    return;
  }
  const QChar c = text[i];
  if (c == u'"' || c == u'\'') {
    ReadLiteral(text, i, word);
  } else if (IsOperatorStart(c)) {
    qsizetype len = 1;
    if (i + 1 < n) {
      const QChar next = text[i + 1];
      if ((c == u'<' && (next == u'=' || next == u'>' || next == u'<')) ||
          (c == u'>' && (next == u'=' || next == u'>')))
        len = 2;
    }
    SetOperator(word, text.mid(i, len));
    i += len;
  } else if (c == u'(' || c == u')' || c == u'[' || c == u']' || c == u',') {
    static constexpr QStringView kBrackets = u"()[],";
    static constexpr TWordKind kKinds[] = {wkOpeningBracket, wkClosingBracket,
                                           wkOpeningSquareBracket, wkClosingSquareBracket, wkComma};
    word.kind = kKinds[kBrackets.indexOf(c)];
    word.str = QString(c);
    ++i;
  } else if (c == u'.') {
    if (i + 1 < n && text[i + 1] == u'.') {
      word.kind = wkDblDot;
      word.str = u".."_s;
      i += 2;
    } else {
      word.kind = wkUnknownIdentifier;
      word.str = u"."_s;
      ++i;
      if (strict) ReportUnexpected(text, c, int(i));
    }
  } else if (IsAsciiDigit(c)) {
    ReadNumber(text, i, word);
  } else if (IsIdentifierStart(c)) {
    ReadName(text, i, word, strict);
  } else {
    word.str = QString(c);
    ++i;
    if (strict) ReportUnexpected(text, c, int(i));
  }
  position = int(i) + 1;
}
