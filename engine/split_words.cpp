// Splitting a text into a word list, and rewriting the power and root symbols into pow calls.
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/word_reader.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::uint8_t kPostfixPowerPriority = 20;  // "²", "³"
constexpr std::uint8_t kPrefixRootPriority = 19;    // "√", "∛", "∜"


template <int Capacity>
int SplitInto(const QString& text, TWordList<Capacity>& words) {
  words.clear();
  int position = 1;
  bool afterArrayKeyword = false;
  const int end = int(text.size());
  while (position <= end) {
    while (position <= end && text[position - 1] == u' ') ++position;
    if (position > end) break;
    if (words.isFull()) {
      RaiseScriptError(MessageText(msg::kTooComplicated, {text}));
      break;
    }
    TWordStatus word;
    ReadWord(text, position, word, true);
    if (ErrorPending()) break;
    if (afterArrayKeyword && word.isOperator(opEqual)) {
      // The initial-value list of a declaration is kept whole, unevaluated.
      words.append(word);
      if (words.isFull()) {
        RaiseScriptError(MessageText(msg::kTooComplicated, {text}));
        break;
      }
      TWordStatus values;
      values.kind = wkArrayInitValues;
      values.str = text.mid(position - 1).trimmed();
      words.append(values);
      break;
    }
    if (word.kind == wkArrayDescription) afterArrayKeyword = true;
    words.append(word);
  }
  return words.lastIndex();
}

// Index of the bracket that matches the one at `from`, walking in `step` direction.
int MatchingBracket(const TWordArray& w, int from, TWordKind open, TWordKind close, int step) {
  int depth = 0;
  for (int i = from; i >= 0 && i <= w.lastIndex(); i += step) {
    if (w[i].kind == open)
      ++depth;
    else if (w[i].kind == close && --depth == 0)
      return i;
  }
  return -1;
}

QString ExponentText(QStringView symbol) {
  if (symbol == u"²") return u"2"_s;
  if (symbol == u"³") return u"3"_s;
  if (symbol == u"√") return NumberText(0.5);
  if (symbol == u"∛") return NumberText(1.0 / 3.0);
  return NumberText(0.25);
}

// Replaces words from..to (the operand) together with the symbol at `symbolAt` by pow(...).
void ReplaceByPow(TWordArray& w, int from, int to, int symbolAt) {
  QString operand;
  for (int k = from; k <= to; ++k)
    if (k != symbolAt) operand += w[k].str;
  TWordStatus call;
  call.kind = wkEmbeddedFunction;
  call.str = u"pow("_s + operand + u',' + ExponentText(w[symbolAt].str) + u')';
  w.replaceRange(from, to, call);
}

// "x²": the operand is the word before, a bracketed group, or an array element.
// Returns the index of the new call word, or -1 after an error.
int RewritePostfix(TWordArray& w, int at) {
  const QString symbol = w[at].str;
  if (at == 0) {
    RaiseScriptError(MessageText(msg::kOperatorMisuse, {symbol}));
    return -1;
  }
  const TWordStatus& before = w[at - 1];
  if (IsCallKind(before.kind)) {
    RaiseScriptError(MessageText(msg::kAmbiguousPower, {symbol}));
    return -1;
  }
  int from = at - 1;
  if (before.kind == wkClosingBracket) {
    from = MatchingBracket(w, at - 1, wkClosingBracket, wkOpeningBracket, -1);
  } else if (before.kind == wkClosingSquareBracket) {
    from = MatchingBracket(w, at - 1, wkClosingSquareBracket, wkOpeningSquareBracket, -1);
    if (from >= 0) --from;  // the array name
  }
  if (from < 0) {
    RaiseScriptError(MessageText(msg::kBracketBeforePower, {symbol}));
    return -1;
  }
  ReplaceByPow(w, from, at, at);
  return from;
}

// "√x": the operand is the next word, a bracketed group, or an array element.
bool RewritePrefix(TWordArray& w, int at) {
  const QString symbol = w[at].str;
  if (at == w.lastIndex()) {
    RaiseScriptError(MessageText(msg::kOperatorMisuse, {symbol}));
    return false;
  }
  int to = at + 1;
  if (w[at + 1].kind == wkOpeningBracket) {
    to = MatchingBracket(w, at + 1, wkOpeningBracket, wkClosingBracket, 1);
  } else if (w[at + 1].kind == wkArrayName && w[at + 2].kind == wkOpeningSquareBracket) {
    to = MatchingBracket(w, at + 2, wkOpeningSquareBracket, wkClosingSquareBracket, 1);
  }
  if (to < 0) {
    RaiseScriptError(MessageText(msg::kBracketAfterRoot, {symbol}));
    return false;
  }
  ReplaceByPow(w, at, to, at);
  return true;
}

}  // namespace

void RewritePowerSymbols(TWordArray& w) {
  for (int i = 0; i <= w.lastIndex(); ++i) {
    if (w[i].kind != wkOperator || w[i].oper_prioritet != kPostfixPowerPriority) continue;
    i = RewritePostfix(w, i);
    if (i < 0) return;
  }
  for (int i = 0; i <= w.lastIndex(); ++i) {
    if (w[i].kind != wkOperator || w[i].oper_prioritet != kPrefixRootPriority) continue;
    if (!RewritePrefix(w, i)) return;
  }
}

int SplitWords(const QString& text, TWordArray& words) {
  SplitInto(text, words);
  if (!ErrorPending()) RewritePowerSymbols(words);
  return words.lastIndex();
}

int SplitWords(const QString& text, TLongWordArray& words) {
  return SplitInto(text, words);
}
