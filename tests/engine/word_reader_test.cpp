// Reading and classifying the words of a line.
#include "engine/word_reader.h"
#include "engine/constants.h"
#include "engine/script_error.h"
#include "engine_fixture.h"
#include "test_units.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct Split {
  TWordArray words;
  int last = -1;
};

Split SplitText(const QString& text) {
  Split s;
  s.last = SplitWords(text, s.words);
  return s;
}

QString Kinds(const TWordArray& w) {
  QStringList parts;
  for (const TWordStatus& word : w) parts << QString::number(word.kind);
  return parts.join(u' ');
}

QString Texts(const TWordArray& w) {
  QStringList parts;
  for (const TWordStatus& word : w) parts << word.str;
  return parts.join(u'|');
}

}  // namespace

class WordReader : public EngineTest {
 protected:
  ListUnit general{wkEmbeddedFunction, {u"sin"_s, u"pow"_s, u"len"_s, u"Str_Len"_s}};
  ListUnit graphics{wkGraphFunction, {u"sin"_s, u"Gra_Line"_s}};
  ListUnit dialogs{wkDialogFunction, {u"Gra_Line"_s}};
  ListUnit javascript{wkJS_Function, {u"jsA"_s, u"jsB"_s, u"len"_s}};
  ScopedUnits units{&general, &graphics, &dialogs, &javascript};
};

TEST_F(WordReader, LiteralsOperatorsAndBrackets) {
  const Split s = SplitText(u"x1 = 'a # b' + \"q\" <> (1, 2) [3] .. <=<<>>="_s);
  EXPECT_TRUE(Error().isEmpty()) << Error().toStdString();
  EXPECT_EQ(Texts(s.words), u"x1|=|a # b|+|q|<>|(|1|,|2|)|[|3|]|..|<=|<<|>>|="_s);
  EXPECT_EQ(Kinds(s.words), u"46 9 1 9 2 9 10 3 14 3 11 12 3 13 15 9 9 9 9"_s);
  EXPECT_EQ(s.words[1].oper_prioritet, 6);
  EXPECT_EQ(s.words[3].oper_prioritet, 14);
  EXPECT_EQ(s.words[16].oper_prioritet, 13);
  EXPECT_EQ(s.last, 18);
  EXPECT_EQ(Texts(SplitText(u"p=<q"_s).words), u"p|=|<|q"_s);
  EXPECT_EQ(SplitText(u""_s).last, -1);
  EXPECT_EQ(SplitText(u"   "_s).last, -1);
}

TEST_F(WordReader, Numbers) {
  Split s = SplitText(u"1.5e3 1..3 2E-2 7"_s);
  EXPECT_EQ(Texts(s.words), u"1.5e3|1|..|3|2E-2|7"_s);
  EXPECT_DOUBLE_EQ(s.words[0].float_val, 1500);
  EXPECT_DOUBLE_EQ(s.words[4].float_val, 0.02);
  for (const TWordStatus& w : s.words)
    if (w.kind != wkDblDot) {
      EXPECT_EQ(w.kind, wkFloat);
    }

  s = SplitText(u"3x"_s);  // a number and a name
  EXPECT_EQ(Kinds(s.words), u"3 46"_s);

  SplitText(u"x = 5."_s);  // the trailing "." is a word of its own
  EXPECT_EQ(Error(), Expected(73, {u"."_s, u"x = 5."_s, 6}));

  const struct {
    const char16_t* text;
    const char16_t* arg;
  } bad[] = {{u"1.2.3", u"1.2"},
             {u"1e5e2", u"1e5"},
             {u"2e", u"2e"},
             {u"3e+", u"3e+"},
             {u"1e999", u"1e999"}};
  for (const auto& b : bad) {
    Engine().ErrorText.clear();
    SplitText(QString::fromUtf16(b.text));
    EXPECT_EQ(Error(), Expected(72, {QString::fromUtf16(b.arg)}))
        << QString::fromUtf16(b.text).toStdString();
  }
}

TEST_F(WordReader, UnterminatedLiteralsAndStrayCharacters) {
  Split s = SplitText(u"x = 'abc"_s);
  EXPECT_EQ(Error(), Expected(70, {u"x = 'abc"_s}));
  EXPECT_EQ(s.words.count(), 2);  // reading stops at the error

  Engine().ErrorText.clear();
  SplitText(u"s = \"abc"_s);
  EXPECT_EQ(Error(), Expected(70, {u"s = \"abc"_s}));

  Engine().ErrorText.clear();
  SplitText(u"p = q @ c"_s);
  EXPECT_EQ(Error(), Expected(73, {u"@"_s, u"p = q @ c"_s, 7}));

  Engine().ErrorText.clear();
  SplitText(u"name'x'"_s);  // a quote right after a name
  EXPECT_EQ(Error(), Expected(73, {u"'"_s, u"name'x'"_s, 5}));

  Engine().ErrorText.clear();
  SplitText(u"p\tq"_s);
  EXPECT_EQ(Error(), Expected(73, {u"\t"_s, u"p\tq"_s, 2}));
}

TEST_F(WordReader, LenientModeAcceptsStrayCharactersAndBareNames) {
  TWordStatus w;
  int pos = 1;
  const QString text = u"@ . sin x"_s;
  ReadWord(text, pos, w, false);
  EXPECT_EQ(w.kind, wkNone);
  EXPECT_EQ(w.str, u"@"_s);
  ReadWord(text, pos, w, false);
  EXPECT_EQ(w.kind, wkUnknownIdentifier);
  ReadWord(text, pos, w, false);
  EXPECT_EQ(w.kind, wkGraphFunction);
  EXPECT_EQ(w.str, u"sin"_s);  // no brackets needed
  EXPECT_TRUE(Error().isEmpty());
  ReadWord(text, pos, w, false);
  ReadWord(text, pos, w, false);
  EXPECT_TRUE(w.isEmpty());  // past the end
  EXPECT_EQ(pos, int(text.size()) + 1);
}

TEST_F(WordReader, ClassificationOrder) {
  // Keywords and literals, whatever the case.
  Split s = SplitText(
      u"For rePeat if ELSE break breakif continue continueif return function "
      "array int integer float datetime string try stop"_s);
  EXPECT_EQ(Kinds(s.words), u"27 28 33 34 29 30 31 32 35 36 37 40 40 41 42 43 44 45"_s);
  EXPECT_EQ(s.words[0].str, u"For"_s);
  s = SplitText(u"True false or And NOT"_s);
  EXPECT_EQ(Texts(s.words), u"true|false|OR|AND|NOT"_s);
  EXPECT_TRUE(s.words[0].bool_val);
  EXPECT_EQ(s.words[0].float_val, 1);
  EXPECT_EQ(s.words[4].oper_prioritet, 3);

  // A variable hides a constant, a constant hides an array, an array hides a function.
  SetVariable(u"len"_s, u"3"_s, wkFloat);
  Engine().Arrays.push_back({});
  Engine().Arrays.back().name = u"Pi"_s;
  s = SplitText(u"LEN pi π P sin(1) Gra_Line(0) jsa(1) unknown"_s);
  EXPECT_EQ(Kinds(s.words), u"16 6 6 46 18 19 26 46"_s);
  EXPECT_EQ(s.words[0].var_index, 1);
  EXPECT_EQ(s.words[1].str, u"PI"_s);  // as written in the table
  EXPECT_DOUBLE_EQ(s.words[1].float_val, 3.14159265358979323846);
  EXPECT_EQ(s.words[6].func_index, 0);

  // Script functions come after every unit but before the JavaScript table.
  Engine().ScriptFunctionNames = {u"GRA_LINE"_s, u"JSB"_s};
  s = SplitText(u"gra_line() jsB()"_s);
  EXPECT_EQ(Kinds(s.words), u"24 26"_s);
  EXPECT_EQ(s.words[1].func_index, 1);

  // Cyrillic and Greek names, subscripts.
  s = SplitText(u"X₁=sin(π/6)+Длина"_s);
  EXPECT_EQ(Texts(s.words), u"X₁|=|sin(π/6)|+|Длина"_s);
}

TEST_F(WordReader, ConstantsWithHexAndBadValues) {
  RegisterConstant(u"clRed"_s, u"$0000FF"_s);
  RegisterConstant(u"Broken"_s, u"$XYZ"_s);
  Split s = SplitText(u"clred"_s);
  EXPECT_EQ(s.words[0].kind, wkConst);
  EXPECT_EQ(s.words[0].float_val, 255);
  EXPECT_THROW(SplitText(u"broken"_s), ScriptException);
}

TEST_F(WordReader, CallWordsCarryTheirArguments) {
  Split s = SplitText(u"y = sin (x + len('(', \")\")) * 2"_s);
  EXPECT_TRUE(Error().isEmpty());
  EXPECT_EQ(Texts(s.words), u"y|=|sin (x + len('(', \")\"))|*|2"_s);

  s = SplitText(u"sin²(x) + sin³(y)"_s);
  EXPECT_EQ(s.words[0].power, 2);
  EXPECT_EQ(s.words[0].str, u"sin(x)"_s);
  EXPECT_EQ(s.words[2].power, 3);

  const struct {
    const char16_t* text;
    int message;
    const char16_t* arg;
  } bad[] = {
      {u"x = sin", 74, u"sin"},      {u"x = sin + 1", 74, u"sin"},
      {u"x = sin ²(1)", 74, u"sin"}, {u"x = sin((1)", 75, u"sin"},
      {u"x = sin(')')", 0, nullptr}, {u"x = sin(')", 70, u"x = sin(')"},
  };
  for (const auto& b : bad) {
    Engine().ErrorText.clear();
    const QString text = QString::fromUtf16(b.text);
    SplitText(text);
    if (b.message == 0)
      EXPECT_TRUE(Error().isEmpty()) << text.toStdString();
    else
      EXPECT_EQ(Error(), Expected(b.message, {QString::fromUtf16(b.arg)})) << text.toStdString();
  }
}

TEST_F(WordReader, ArrayDeclarationKeepsItsValueListWhole) {
  const Split s = SplitText(u"array A[2,2] float = ((1,2), (3,4))  "_s);
  EXPECT_TRUE(Error().isEmpty());
  EXPECT_EQ(s.words[s.last].kind, wkArrayInitValues);
  EXPECT_EQ(s.words[s.last].str, u"((1,2), (3,4))"_s);
  EXPECT_EQ(s.words[s.last - 1].str, u"="_s);
  // Without ARRAY the same text is split word by word.
  EXPECT_EQ(SplitText(u"b = ((1,2))"_s).last, 8);
}

TEST_F(WordReader, TooManyWords) {
  QString text = u"x"_s;
  for (int i = 0; i < 49; ++i) text += u"+x"_s;  // 99 words
  EXPECT_EQ(SplitText(text).last, 98);
  EXPECT_TRUE(Error().isEmpty());
  EXPECT_EQ(SplitText(text + u"+"_s).last, 99);
  EXPECT_TRUE(Error().isEmpty());
  SplitText(text + u"+x"_s);
  EXPECT_EQ(Error(), Expected(45, {text + u"+x"_s}));
}

TEST_F(WordReader, HostileInputEndsInAMessage) {
  const QString cases[] = {
      QString(10000, u'('),
      u"'"_s + QString(10000, u'x'),
      QString(u"\xD800 = 1"_s),  // lone high surrogate
      QString(u"a = \xDC00"_s),  // lone low surrogate
      QString::fromUtf8("\xff\xfe\x00\x01 x", 6),
      QString(10000, u'9') + u".5"_s,
      u"sin(((((("_s,
  };
  for (const QString& text : cases) {
    Engine().ErrorText.clear();
    SplitText(text);
    EXPECT_FALSE(Error().isEmpty());
  }
}
