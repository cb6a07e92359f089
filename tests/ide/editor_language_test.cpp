// The editor's language support: token styles of the highlighter in a real (offscreen) editor,
// fold ranges and levels, and the completion list and its insertion rule.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <string_view>

#include "engine/engine_state.h"
#include "ide/completion.h"
#include "ide/fold_ranges.h"
#include "ide/syntax_lexer.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// One letter per token kind, in the order of TtkTokenKind, so a line's styles read as a string.
char KindLetter(long style) {
  constexpr std::string_view kLetters = "ciK0n_sofdxF?";
  return style >= 0 && style < long(kLetters.size()) ? kLetters[std::size_t(style)] : '#';
}

class Highlighter : public ::testing::Test {
 protected:
  Highlighter() {
    editor.setUtf8(true);
    editor.setLexer(lexer);
  }

  // The style of every character of the text (by UTF-16 unit, each taking its first byte).
  std::string Styles(const QString& text, bool colourise = true) {
    if (colourise) {
      editor.setText(text);
      editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    }
    std::string out;
    long pos = 0;
    for (QChar c : text) {
      out += KindLetter(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos));
      pos += c.isSurrogate() ? 2 : QString(c).toUtf8().size();
    }
    return out;
  }

  QsciScintilla editor;
  TSynTrsSyn* lexer = new TSynTrsSyn(&editor);
};

TEST_F(Highlighter, KeywordsMatchWithExactLetterCase) {
  EXPECT_EQ(Styles(u"if IF If"_s), "KK_ii_ii");
  EXPECT_EQ(Styles(u"datetime tressaly Tressaly pi"_s), "KKKKKKKK_ffffffff_iiiiiiii_KK");
  EXPECT_EQ(Styles(u"x = excel_open(1)"_s), "i_o_iiiiiiiiiiono");  // not known before a rebuild
}

TEST_F(Highlighter, RebuildKeywordsTakesLowerCasedNamesOfEveryTableAndScriptFunction) {
  lexer->RebuildKeywords({u"MYFUNC"_s});
  EXPECT_EQ(Styles(u"excel_open Excel_Open"_s), "ffffffffff_iiiiiiiiii");
  EXPECT_EQ(Styles(u"str_uppercase myfunc MYFUNC"_s), "fffffffffffff_ffffff_iiiiii");
  // "datetime" and "tressaly" are only in the initial list.
  EXPECT_EQ(Styles(u"datetime tressaly if"_s), "iiiiiiii_iiiiiiii_KK");
  // A name or synonym from each table, including a synonym whose slot has no formula.
  for (const char16_t* name : {u"sqrt", u"gra_circle", u"show_message", u"db_connect", u"os_findwindow",
                               u"ftp_connect", u"ard_udp_command", u"com_port_read", u"str_charat", u"charat"}) {
    const QString word = QString::fromUtf16(name);
    EXPECT_EQ(Styles(word), std::string(word.size(), 'f')) << word.toStdString();
  }
  const auto& list = lexer->Keywords();
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) {
    return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
  }));
  EXPECT_EQ(std::count_if(list.begin(), list.end(), [](const auto& k) { return k.kind == TSynTrsSyn::tkKey; }), 21);
  EXPECT_TRUE(std::none_of(list.begin(), list.end(), [](const auto& k) { return k.text.isEmpty(); }));
}

TEST_F(Highlighter, RebuildFromTheEngineRestylesTheAttachedText) {
  EXPECT_EQ(Styles(u"zz_fn"_s), "iiiii");
  Engine().ScriptFunctionNames = {u"ZZ_FN"_s};
  lexer->RebuildKeywords();
  Engine().ScriptFunctionNames.clear();
  EXPECT_EQ(Styles(u"zz_fn"_s, /*colourise=*/false), "fffff");
}

TEST_F(Highlighter, CommentsAndApostropheStrings) {
  EXPECT_EQ(Styles(u"#if x"_s), "ccccc");
  EXPECT_EQ(Styles(u"x = 'a#b' ; rest"_s), "i_o_sssss_cccccc");
  EXPECT_EQ(Styles(u"s='open"_s), "iosssss");
  EXPECT_EQ(Styles(u"\"ab\" 'it'"_s), "?ii?_ssss");
}

TEST_F(Highlighter, NumberForms) {
  const std::pair<const char16_t*, const char*> cases[] = {
      {u"123", "nnn"},         {u"0x1F", "xxxx"},       {u"0x1fL", "xxxxx"},    {u"0xg", "???"},
      {u"1.5", "FFF"},         {u".5", "FF"},           {u"0.5", "FFF"},        {u"007", "FFF"},
      {u"1e3", "FFF"},         {u"1E-3", "FFFF"},       {u"3j", "FF"},          {u"2.5e+1J", "FFFFFFF"},
      {u"1e", "??"},           {u"1e+ 2", "???_n"},     {u"12abc", "?????"},    {u"1.2e5x.y", "????????"},
      {u"1...", "nooo"},       {u"..", "oo"},           {u"x.y", "ioi"},        {u"a[0..2]", "ioFFFFo"},
      {u"1.2.3", "FFFFF"},     {u"1e5e", "????"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Styles(QString::fromUtf16(text)), expected) << QString::fromUtf16(text).toStdString();
}

TEST_F(Highlighter, WordsSymbolsSpacesAndOtherCharacters) {
  EXPECT_EQ(Styles(u"αβ=Мир_1 Λ Α π"_s), "iioiiiii_i_?_i");
  EXPECT_EQ(Styles(u"!%&()*+,-/:<=>[]^{}~|"_s), std::string(21, 'o'));
  EXPECT_EQ(Styles(u"$?@\\`²"_s), "??????");
  EXPECT_EQ(Styles(u"\t  x\r\ny\nz"_s), "___i__i_i");
}

TEST_F(Highlighter, SystemDefinedWords) {
  EXPECT_EQ(Styles(u"__init__ __a__ ___a__ __a___ __ab"_s), "dddddddd_ddddd_iiiiii_iiiiii_iiii");
  EXPECT_EQ(Styles(u"def if f"_s), "ddd_KK_d");
  EXPECT_EQ(Styles(u"class X"_s), "ddddd_d");
  EXPECT_EQ(Styles(u"define = 1"_s), "dddddd_o_n");  // the line's first three characters count
  EXPECT_EQ(Styles(u" def x"_s), "_iii_i");
}

TEST_F(Highlighter, AttributesColoursAndFont) {
  EXPECT_STREQ(lexer->language(), "Tressaly");
  EXPECT_EQ(lexer->description(TSynTrsSyn::tkKey), u"ReservedWord"_s);
  EXPECT_EQ(lexer->description(TSynTrsSyn::tkNonKeyword), u"NonreservedKeyword"_s);
  EXPECT_EQ(lexer->description(TSynTrsSyn::tkUnknown), u"SyntaxError"_s);
  EXPECT_TRUE(lexer->description(TSynTrsSyn::kTokenKindCount).isEmpty());
  const std::pair<TSynTrsSyn::TtkTokenKind, QColor> colours[] = {
      {TSynTrsSyn::tkComment, QColor(128, 128, 128)}, {TSynTrsSyn::tkIdentifier, QColor(0, 0, 255)},
      {TSynTrsSyn::tkKey, QColor(128, 0, 0)},         {TSynTrsSyn::tkNonKeyword, QColor(255, 0, 255)},
      {TSynTrsSyn::tkNumber, QColor(0, 0, 128)},      {TSynTrsSyn::tkFloat, QColor(0, 0, 128)},
      {TSynTrsSyn::tkHex, QColor(128, 0, 128)},       {TSynTrsSyn::tkString, QColor(0, 128, 0)},
      {TSynTrsSyn::tkSymbol, QColor(128, 0, 128)}};
  for (const auto& [kind, colour] : colours) EXPECT_EQ(lexer->color(kind), colour) << kind;
  lexer->SetEditorFont(QFont(u"Monospace"_s, 12));
  for (int kind = 0; kind < TSynTrsSyn::kTokenKindCount; ++kind) {
    const bool bold = kind == TSynTrsSyn::tkIdentifier || kind == TSynTrsSyn::tkKey ||
                      kind == TSynTrsSyn::tkNonKeyword || kind == TSynTrsSyn::tkSystemDefined ||
                      kind == TSynTrsSyn::tkSymbol;
    EXPECT_EQ(lexer->font(kind).bold(), bold) << kind;
    EXPECT_EQ(lexer->font(kind).pointSize(), 12);
  }
}

TEST_F(Highlighter, BracketInAStringIsNoPartOfBraceMatching) {
  Styles(u"f('(', (x))"_s);
  EXPECT_EQ(lexer->braceStyle(), TSynTrsSyn::tkSymbol);
  EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_BRACEMATCH, 1UL, 0L), 10);
  EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_BRACEMATCH, 7UL, 0L), 9);
}

TEST_F(Highlighter, FoldLevelsFollowTheText) {
  auto level = [&](int line) { return int(editor.SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, line)); };
  Styles(u"function f()\n  a\n\nb"_s);
  EXPECT_EQ(level(0), kFoldLevelBase | kFoldLevelHeaderFlag);
  EXPECT_EQ(level(1), kFoldLevelBase + 1);
  EXPECT_EQ(level(2), kFoldLevelBase | kFoldLevelWhiteFlag);
  EXPECT_EQ(level(3), kFoldLevelBase);
  editor.setCursorPosition(0, 0);
  editor.insert(u"x\n"_s);  // an edit moves the block down
  editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
  EXPECT_EQ(level(0), kFoldLevelBase);
  EXPECT_EQ(level(1), kFoldLevelBase | kFoldLevelHeaderFlag);
}

// ---- Fold ranges -----------------------------------------------------------------------------

QList<FoldRange> Folds(const QString& text, int tabWidth = 2) {
  return ComputeFoldRanges(text.split(u'\n'), tabWidth);
}
using R = QList<FoldRange>;

TEST(FoldRanges, CommentBlocksOfTwoOrMoreLinesWithTheSameMark) {
  EXPECT_EQ(Folds(u"#a\n#b\nx"_s), (R{{0, 1}}));
  EXPECT_EQ(Folds(u"x\n#a\ny"_s), R{});
  EXPECT_EQ(Folds(u";a\n;b\n#c\n#d\n#e"_s), (R{{0, 1}, {2, 4}}));
  EXPECT_EQ(Folds(u"  #a\n  #b"_s), R{});  // indented comments form no block
  EXPECT_EQ(Folds(u"#a\n\n#b"_s), R{});
}

TEST(FoldRanges, ContinuationBlocksStartAtTheContinuedLine) {
  EXPECT_EQ(Folds(u"x = f(1,\n> 2,\n  > 3)\ny"_s), (R{{0, 2}}));
  EXPECT_EQ(Folds(u"> a\n> b"_s), R{});
  // An opener continued over lines still folds its body; comments keep it open.
  EXPECT_EQ(Folds(u"if a and\n> b\n  x\n#c\n#d\n  y\nz"_s), (R{{0, 5}, {0, 1}, {3, 4}}));
}

TEST(FoldRanges, IndentationBlocksOfOpeningWords) {
  EXPECT_EQ(Folds(u"FUNCTION f()\n  a\n  b\nc"_s), (R{{0, 2}}));
  EXPECT_EQ(Folds(u"if a\n  for i = 1,3\n    x\n  y\nz"_s), (R{{0, 3}, {1, 2}}));
  EXPECT_EQ(Folds(u"if a\n  x\nelse\n  y"_s), (R{{0, 1}, {2, 3}}));
  EXPECT_EQ(Folds(u"repeat\n  x\n\n  \nb\n"_s), (R{{0, 1}}));  // blank lines leave the block
  EXPECT_EQ(Folds(u"if a\nb"_s), R{});
  EXPECT_EQ(Folds(u"format\n  x\niffy\n  y\nif(a)\n  z"_s), (R{{4, 5}}));
  EXPECT_EQ(Folds(u"  x\n    y\nif a\n  b"_s), (R{{2, 3}}));  // only the opening words open
  EXPECT_EQ(Folds(u"if a\n\tb"_s), (R{{0, 1}}));
  EXPECT_EQ(Folds(u"  if a\n\tb"_s, 2), R{});  // the tab is only as deep as the opener
  EXPECT_EQ(Folds(u"  if a\n\tb"_s, 4), (R{{0, 1}}));
}

TEST(FoldRanges, LevelsCountEnclosingRanges) {
  const QStringList lines = {u"if a"_s, u"  if b"_s, u"    x"_s, u""_s, u"y"_s};
  const QList<int> levels = FoldLevels(ComputeFoldRanges(lines), lines);
  EXPECT_EQ(levels, (QList<int>{kFoldLevelBase | kFoldLevelHeaderFlag, (kFoldLevelBase + 1) | kFoldLevelHeaderFlag,
                                kFoldLevelBase + 2, kFoldLevelBase | kFoldLevelWhiteFlag, kFoldLevelBase}));
}

// ---- Completion ------------------------------------------------------------------------------

TEST(Completion, TablesGiveSignaturesAndSynonymCopiesExceptFtpAndArduinoSynonyms) {
  const QStringList items = BuildCompletionList({}, {});
  for (const QString& item : {u"Excel_Open([FileName:string]):boolean"_s, u"UpperCase(Str:string):string"_s,
                              u"Str_UpperCase(Str:string):string"_s, u"Exit()"_s, u"Introduction1()"_s,
                              u"ARD_COM_Port_Command("_s, u"Gra_Circle("_s, u"Str_CharAt(str,position)"_s,
                              u"Show_Message("_s, u"OS_FindWindow("_s})
    EXPECT_FALSE(CompletionCandidates(items, item).isEmpty()) << item.toStdString();
  EXPECT_TRUE(CompletionCandidates(items, u"COM_Port"_s).isEmpty());  // Arduino synonyms are left out
  EXPECT_FALSE(items.contains(QString()));
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  }));
}

TEST(Completion, VariablesConstantsAndWords) {
  const QStringList items = BuildCompletionList({u"myVar"_s}, {u"PI = 3.14"_s, u" E2  = 1"_s, u"=bad"_s, u"noeq"_s});
  for (const QString& item : {u"myVar"_s, u"PI"_s, u"E2"_s, u"Int"_s, u"continueif"_s, u"else"_s})
    EXPECT_TRUE(items.contains(item)) << item.toStdString();
  EXPECT_FALSE(items.contains(u"=bad"_s));
  EXPECT_FALSE(items.contains(u"noeq"_s));
  EXPECT_FALSE(items.contains(u"int"_s));

  Tvariable zz;
  zz.VarName = u"zz_var"_s;
  zz.kind = wkFloat;
  zz.SetText(u"1"_s);
  Engine().Variables.push_back(zz);
  const QStringList current = CurrentCompletionList();
  Engine().Variables.pop_back();
  EXPECT_TRUE(current.contains(u"zz_var"_s));
  EXPECT_TRUE(current.contains(u"π"_s));
}

TEST(Completion, FilteringPrefixAndInsertedText) {
  const QStringList items = {u"Exit()"_s, u"excel_x"_s, u"else"_s};
  EXPECT_EQ(CompletionCandidates(items, u"EX"_s), (QStringList{u"Exit()"_s, u"excel_x"_s}));
  EXPECT_EQ(CompletionCandidates(items, u""_s), items);
  EXPECT_EQ(CompletionPrefix(u"x = Exc"_s), u"Exc"_s);
  EXPECT_EQ(CompletionPrefix(u"a."_s), QString());
  EXPECT_EQ(CompletionPrefix(u"y=αβ₁"_s), u"αβ₁"_s);
  EXPECT_EQ(CompletionInsertText(u"Excel_Open([FileName:string]):boolean"_s), u"Excel_Open"_s);
  EXPECT_EQ(CompletionInsertText(u"Exit()"_s), u"Exit"_s);
  EXPECT_EQ(CompletionInsertText(u"(x)"_s), u"(x)"_s);
  EXPECT_EQ(CompletionInsertText(u"Int"_s), u"Int"_s);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("TRESSALY_HOME", home.path().toUtf8());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
