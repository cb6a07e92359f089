#include "ide/syntax_lexer.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/line_breaks.h"
#include "unit_support/descriptions.h"
#include "ide/editor_colours.h"
#include "ide/fold_ranges.h"

using namespace Qt::Literals::StringLiterals;

static_assert(kFoldLevelBase == QsciScintillaBase::SC_FOLDLEVELBASE);
static_assert(kFoldLevelWhiteFlag == QsciScintillaBase::SC_FOLDLEVELWHITEFLAG);
static_assert(kFoldLevelHeaderFlag == QsciScintillaBase::SC_FOLDLEVELHEADERFLAG);

namespace {

using Kind = TSynTrsSyn::TtkTokenKind;

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool IsWordStart(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || (u >= 0x039B && u <= 0x03A9) ||
         (u >= 0x03B1 && u <= 0x03C9) || (u >= 0x0410 && u <= 0x044F);
}

bool IsWordChar(QChar c) { return IsWordStart(c) || IsDigit(c); }

bool IsSymbol(QChar c) {
  return c.unicode() < 128 && QByteArrayView("!%&()*+,-/:<=>[]^{}~|").contains(char(c.unicode()));
}

bool IsLineBreak(QChar c) { return c == u'\n' || c == u'\r'; }

QList<TSynTrsSyn::Keyword> ReservedWords(std::initializer_list<const char16_t*> words) {
  QList<TSynTrsSyn::Keyword> list;
  for (const char16_t* w : words) list.append({QString::fromUtf16(w), TSynTrsSyn::tkKey});
  return list;
}

// The end of a number token beginning at i, and its kind.
int ScanNumber(QStringView line, int i, Kind& kind) {
  const int n = int(line.size());
  auto at = [&](int k) { return k < n ? line[k] : QChar(); };
  auto isThreeDots = [&](int k) { return at(k) == u'.' && at(k + 1) == u'.' && at(k + 2) == u'.'; };
  auto badNumber = [&](int k) {
    kind = TSynTrsSyn::tkUnknown;
    while (IsWordChar(at(k)) || at(k) == u'.') ++k;
    return k;
  };

  enum State { Start, DotFound, FloatNeeded, Hex, ExpFound } state = Start;
  kind = TSynTrsSyn::tkNumber;
  int run = i + 1;
  const QChar first = line[i];
  if (first == u'.') {
    if (!IsDigit(at(run))) {
      kind = TSynTrsSyn::tkSymbol;
      return isThreeDots(i) ? i + 3 : run;
    }
    kind = TSynTrsSyn::tkFloat;
    state = DotFound;
    ++run;
  } else if (first == u'0') {
    const QChar c = at(run);
    if (c == u'x' || c == u'X') {
      kind = TSynTrsSyn::tkHex;
      state = Hex;
      ++run;
    } else if (c == u'.' && !isThreeDots(run)) {
      kind = TSynTrsSyn::tkFloat;
      state = DotFound;
      ++run;
    } else if (IsDigit(c)) {
      kind = TSynTrsSyn::tkFloat;
      state = FloatNeeded;
      ++run;
    }
  }

  for (;; ++run) {
    const QChar c = at(run);
    if (state == Hex) {
      if (IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')) continue;
      if (c == u'L' || c == u'l') return run + 1;
      return IsWordChar(c) ? badNumber(run) : run;
    }
    if (IsDigit(c)) continue;
    if (c == u'e' || c == u'E') {
      if (state == ExpFound) return badNumber(run);
      int k = run + 1;
      if (at(k) == u'+' || at(k) == u'-') ++k;
      if (!IsDigit(at(k))) return badNumber(k);
      kind = TSynTrsSyn::tkFloat;
      state = ExpFound;
      run = k;
      continue;
    }
    if (c == u'j' || c == u'J') {
      kind = TSynTrsSyn::tkFloat;
      return run + 1;
    }
    if (c == u'.') {
      // A point makes a whole number a float; after a fraction or an exponent it ends it.
      if ((state == Start || state == FloatNeeded) && !isThreeDots(run)) {
        kind = TSynTrsSyn::tkFloat;
        state = DotFound;
        continue;
      }
      return run;
    }
    return IsWordChar(c) ? badNumber(run) : run;
  }
}

}  // namespace

TSynTrsSyn::TSynTrsSyn(QObject* parent) : QsciLexerCustom(parent), font_(u"Courier New"_s, 10) {
  QList<Keyword> initial = ReservedWords({u"and", u"array", u"breakif", u"break", u"continueif", u"continue",
                                          u"datetime", u"else", u"false", u"float", u"for", u"function", u"if",
                                          u"int", u"not", u"or", u"repeat", u"return", u"pi", u"stop",
                                          u"string", u"true"});
  initial.append({u"tressaly"_s, tkNonKeyword});
  SetKeywords(std::move(initial));
  setDefaultFont(font_);
}

const char* TSynTrsSyn::language() const { return "Tressaly"; }

QString TSynTrsSyn::description(int style) const {
  switch (style) {
    case tkComment: return u"Comment"_s;
    case tkIdentifier: return u"Identifier"_s;
    case tkKey: return u"ReservedWord"_s;
    case tkNull: return u"Null"_s;
    case tkNumber: return u"Number"_s;
    case tkSpace: return u"Space"_s;
    case tkString: return u"String"_s;
    case tkSymbol: return u"Symbol"_s;
    case tkNonKeyword: return u"NonreservedKeyword"_s;
    case tkSystemDefined: return u"SystemFunctionsAndVariables"_s;
    case tkHex: return u"Hexadecimal"_s;
    case tkFloat: return u"Float"_s;
    case tkUnknown: return u"SyntaxError"_s;
    default: return {};
  }
}

QColor TSynTrsSyn::defaultColor(int style) const {
  switch (style) {
    case tkComment: return EditorColourOf(EditorColour::Comment, dark_);
    case tkIdentifier: return EditorColourOf(EditorColour::Identifier, dark_);
    case tkKey: return EditorColourOf(EditorColour::Keyword, dark_);
    case tkNonKeyword: return EditorColourOf(EditorColour::NonKeyword, dark_);
    case tkNumber:
    case tkFloat: return EditorColourOf(EditorColour::Number, dark_);
    case tkHex:
    case tkSymbol: return EditorColourOf(EditorColour::Symbol, dark_);
    case tkString: return EditorColourOf(EditorColour::String, dark_);
    default: return EditorColourOf(EditorColour::Text, dark_);
  }
}

QColor TSynTrsSyn::defaultPaper(int) const {
  return EditorColourOf(EditorColour::Paper, dark_);
}

void TSynTrsSyn::SetDarkColours(bool dark) {
  dark_ = dark;
  setDefaultColor(EditorColourOf(EditorColour::Text, dark));
  setDefaultPaper(EditorColourOf(EditorColour::Paper, dark));
  for (int style = 0; style < kTokenKindCount; ++style) {
    setColor(defaultColor(style), style);
    setPaper(defaultPaper(style), style);
  }
}

QFont TSynTrsSyn::defaultFont(int style) const {
  QFont f = font_;
  switch (style) {
    case tkIdentifier:
    case tkKey:
    case tkNonKeyword:
    case tkSystemDefined:
    case tkSymbol: f.setBold(true); break;
    default: break;
  }
  return f;
}

void TSynTrsSyn::SetEditorFont(const QFont& font) {
  font_ = font;
  setDefaultFont(font);
  for (int style = 0; style < kTokenKindCount; ++style) setFont(defaultFont(style), style);
}

void TSynTrsSyn::SetKeywords(QList<Keyword> keywords) {
  std::stable_sort(keywords.begin(), keywords.end(), [](const Keyword& a, const Keyword& b) {
    return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
  });
  keywords_ = std::move(keywords);
  lookup_.clear();
  for (const Keyword& k : keywords_)
    if (!lookup_.contains(k.text)) lookup_.insert(k.text, k.kind);
}

void TSynTrsSyn::RebuildKeywords() { RebuildKeywords(Engine().ScriptFunctionNames); }

void TSynTrsSyn::RebuildKeywords(const QStringList& scriptFunctionNames) {
  QList<Keyword> list = ReservedWords({u"and", u"array", u"breakif", u"break", u"continueif", u"continue",
                                       u"else", u"false", u"float", u"for", u"function", u"if", u"int", u"not",
                                       u"or", u"pi", u"repeat", u"return", u"stop", u"string", u"true"});
  for (const QString& name : scriptFunctionNames)
    if (!name.isEmpty()) list.append({name.toLower(), tkNonKeyword});
  for (TableId id : HelpTableOrder()) {
    for (const T_FunctionDescription& d : Table(id).entries) {
      const QString name = d.Formula.section(u'(', 0, 0).toLower();
      if (!name.isEmpty()) list.append({name, tkNonKeyword});
      if (!d.Sinonim.isEmpty()) list.append({d.Sinonim.toLower(), tkNonKeyword});
    }
  }
  SetKeywords(std::move(list));
  if (QsciScintilla* ed = editor()) ed->recolor();
}

TSynTrsSyn::TtkTokenKind TSynTrsSyn::WordKind(QStringView word, QStringView line) const {
  if (const auto it = lookup_.constFind(word.toString()); it != lookup_.cend()) return *it;
  const qsizetype n = word.size();
  if (n >= 5 && word.startsWith(u"__") && word[2] != u'_' && word.endsWith(u"__") && word[n - 3] != u'_')
    return tkSystemDefined;
  if (line.left(3).trimmed() == u"def" || line.left(5).trimmed() == u"class") return tkSystemDefined;
  return tkIdentifier;
}

QList<TSynTrsSyn::Token> TSynTrsSyn::Tokenize(QStringView line) const {
  QList<Token> tokens;
  const int n = int(line.size());
  int i = 0;
  while (i < n) {
    const QChar c = line[i];
    const char16_t u = c.unicode();
    int end = i + 1;
    Kind kind = tkUnknown;
    if (u == 0) {
      kind = tkNull;
    } else if (u == '\n') {
      kind = tkSpace;
    } else if (u == '\r') {
      kind = tkSpace;
      if (end < n && line[end] == u'\n') ++end;
    } else if (u <= 32) {
      kind = tkSpace;
      while (end < n && line[end].unicode() >= 1 && line[end].unicode() <= 32 && !IsLineBreak(line[end])) ++end;
    } else if (IsSymbol(c)) {
      kind = tkSymbol;
    } else if (u == '#' || u == ';') {
      kind = tkComment;
      while (end < n && !IsLineBreak(line[end])) ++end;
    } else if (u == '\'') {
      kind = tkString;
      while (end < n && line[end] != u'\'' && !IsLineBreak(line[end])) ++end;
      if (end < n && line[end] == u'\'') ++end;
    } else if (u == '.' || IsDigit(c)) {
      end = ScanNumber(line, i, kind);
    } else if (IsWordStart(c)) {
      while (end < n && IsWordChar(line[end])) ++end;
      kind = WordKind(line.mid(i, end - i), line);
    } else if (c.isHighSurrogate() && end < n && line[end].isLowSurrogate()) {
      ++end;  // one character outside the basic plane
    }
    tokens.append({i, end - i, kind});
    i = end;
  }
  return tokens;
}

void TSynTrsSyn::styleText(int start, int end) {
  QsciScintilla* ed = editor();
  if (!ed) return;
  const int firstLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
  const int lastLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
  for (int line = firstLine; line <= lastLine; ++line) {
    const int lineStart = int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    int remaining = int(ed->SendScintilla(QsciScintillaBase::SCI_LINELENGTH, line));
    const QString text = ed->text(line);
    startStyling(lineStart);
    for (const Token& t : Tokenize(text)) {
      const QStringView part = QStringView(text).mid(t.start, t.length);
      const int bytes = std::min(remaining, int(ed->isUtf8() ? part.toUtf8().size() : part.toLatin1().size()));
      if (bytes <= 0) break;
      setStyling(bytes, t.kind);
      remaining -= bytes;
    }
    if (remaining > 0) setStyling(remaining, tkUnknown);  // bytes that did not decode
  }
  ApplyFoldLevels();
}

void TSynTrsSyn::ApplyFoldLevels() {
  QsciScintilla* ed = editor();
  if (!ed) return;
  const QStringList lines = WithLfLineBreaks(ed->text()).split(u'\n');
  const QList<int> levels = FoldLevels(ComputeFoldRanges(lines, ed->tabWidth()), lines);
  for (int i = 0; i < int(levels.size()); ++i)
    if (int(ed->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, i)) != levels[i])
      ed->SendScintilla(QsciScintillaBase::SCI_SETFOLDLEVEL, i, levels[i]);
}
