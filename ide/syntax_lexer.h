// The highlighter of the script language for the QScintilla editor: token kinds and their
// colours, the keyword list (rebuilt from the script functions and the description tables),
// fold levels from the fold ranges, and the bracket style for brace matching.
#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <Qsci/qscilexercustom.h>

class TSynTrsSyn : public QsciLexerCustom {
  Q_OBJECT

 public:
  // Token kinds; each is also the editor style number of its tokens.
  enum TtkTokenKind {
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkNonKeyword,
    tkSystemDefined,
    tkHex,
    tkFloat,
    tkUnknown,
  };
  static constexpr int kTokenKindCount = tkUnknown + 1;

  struct Keyword {
    QString text;
    TtkTokenKind kind;
  };
  // A token of one line: start and length in UTF-16 code units of the line text.
  struct Token {
    int start;
    int length;
    TtkTokenKind kind;
  };

  explicit TSynTrsSyn(QObject* parent = nullptr);

  const char* language() const override;  // "Tressaly"
  QString description(int style) const override;  // the attribute name of the token kind
  QColor defaultColor(int style) const override;
  QColor defaultPaper(int style) const override;
  QFont defaultFont(int style) const override;
  bool caseSensitive() const override { return false; }
  // Brace matching considers only brackets highlighted as symbols.
  int braceStyle() const override { return tkSymbol; }
  // The end characters that complete the completion window's choice.
  const char* autoCompletionFillups() const override { return "()[]. "; }
  void styleText(int start, int end) override;

  static QString FileFilter() { return QStringLiteral("Tressaly Files (*.txt)|*.txt"); }

  // The dark or the light variant of the colours (paper and every token kind).
  void SetDarkColours(bool dark);
  bool DarkColours() const { return dark_; }

  // The editor font: every style takes it, bold for the bold attributes.
  void SetEditorFont(const QFont& font);
  QFont EditorFont() const { return font_; }

  // Replaces the keyword list: the reserved words, the script functions (lower-cased) and the
  // names and synonyms of every description table (lower-cased). The first form reads the
  // engine's ScriptFunctionNames. Restyles the attached editor.
  void RebuildKeywords();
  void RebuildKeywords(const QStringList& scriptFunctionNames);
  // The list, sorted without regard to case.
  const QList<Keyword>& Keywords() const { return keywords_; }

  // Tokens of one line (it may end with its line break); no state carries between lines.
  QList<Token> Tokenize(QStringView line) const;
  // The kind of a word token of the given line.
  TtkTokenKind WordKind(QStringView word, QStringView line) const;

  // Sets the fold levels of every line of the attached editor from the fold ranges of its text.
  void ApplyFoldLevels();

 private:
  void SetKeywords(QList<Keyword> keywords);

  QList<Keyword> keywords_;
  QHash<QString, TtkTokenKind> lookup_;  // exact text -> kind of its first entry
  QFont font_;
  bool dark_ = false;
};
