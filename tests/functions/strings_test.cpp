// The string and conversion functions, called from scripts through the real tables.
#include "function_fixture.h"
#include "functions/general_unit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Sys(QString text) {
  return text.replace(u'.', SystemDecimalSeparator());
}

const QString kCrLf = u" + Char(13) + Char(10)"_s;
const QString kAnnMary = u"'Ann'"_s + kCrLf + u" + 'Mary'"_s + kCrLf;

}  // namespace

class StringsTest : public FunctionTest {
 protected:
  // The error a one-line script "x = <expression>" stops with.
  QString ErrorOf(const QString& expression) {
    host.errors.clear();
    return Run({u"x = "_s + expression});
  }
};

TEST_F(StringsTest, Results) {
  const struct {
    QString expression, expected;
  } cases[] = {
      {u"UpperCase('abc äö я') + Str_LowerCase('ÄB Я')"_s, u"ABC ÄÖ Яäb я"_s},
      {u"Trim(Char(9) + Char(0) + ' a b ' + Char(13))"_s, u"a b"_s},
      {u"LenStr('') + Str_Length('añ𝄞')"_s, u"4"_s},  // UTF-16 units
      {u"Pos(';', 'London;Berlin;Moskov')"_s, u"7"_s},
      {u"Pos(';', 'London;Berlin;Moskov', 8)"_s, u"14"_s},
      {u"Pos(';', 'London;Berlin;Moskov', 15) + Pos('', 'a') + Pos('x', 'abc')"_s, u"0"_s},
      {u"Pos(';', 'London;Berlin;Moskov', -5) + Pos('c', 'abc', 1E300)"_s, u"7"_s},
      {u"Pos('B', 'abc') * 10 + Pos('B', 'abc', 1, 1) + Str_Pos('Я', 'абвя')"_s, u"24"_s},
      {u"SubStr('abc', 5) + '|' + SubStr('abc', 0) + '|' + SubStr('abc', 'x')"_s, u"|abc|"_s},
      {u"SubStr('abcdef', 2, 3) + SubStr('abc', -3, 2) + SubStr('abc', 2, 0)"_s, u"bcdab"_s},
      {u"SubStr('abc', 2, 1E300) + SubStr('abc', 1E300) + SubStr('abc', '')"_s, u"bcabc"_s},
      {u"SubStr('Apple;Pear;Plum', ';', ';')"_s, u"Pear"_s},
      {u"SubStr('Apple;Pear;Plum', ';')"_s, u"Pear;Plum"_s},
      {u"SubStr('a;b', ';', 'z') + SubStr('Apple;Pear', 3, ';') + SubStr('aXbx', 'x')"_s,
       u"bple"_s},
      {u"ReplaceStr('aAa', 'a', 'x') + ReplaceStr('aAa', 'a', 'x', 0)"_s, u"xxxxAa"_s},
      {u"ReplaceStr('aAa', 'a', 'x', 1, 1) + Str_Replace('aaa', 'a', 'aa')"_s, u"xAxaaaaaa"_s},
      {u"ReplaceStr('aaa', 'aa', 'b') + ReplaceStr('abc', '', 'x') + ReplaceStr('Я я', 'я', 'ю')"_s,
       u"baabcю ю"_s},
      {u"Str_ToFloat('1,5')"_s, u"1.5"_s},
      {u"Str_ToFloat('1.5E+2')"_s, u"1.5E+2"_s},  // the text as given, not re-formatted
      {u"Str_ToFloat(' 7', 1)"_s, u" 7"_s},
      {u"Str_ToFloat('2.5', 0)"_s, u"2.5"_s},
      {u"Str_ToFloat('.5') + Str_ToFloat('5.') + Str_ToFloat('-1e3')"_s, u"-994.5"_s},
      {u"Str_ToFloat('abc', 1) + Str_ToFloat('abc', 0.0) + Str_ToFloat('1,5,5', 2)"_s,
       u"errorerrorerror"_s},
      {u"Str_ToFloat('1.5 ', 1) + Str_ToFloat('.', 1) + Str_ToFloat('', 1) + Str_ToFloat('1e', 1)"_s,
       u"errorerrorerrorerror"_s},
      {u"Str_ToFloat('INF', 1) + Str_ToFloat('1e999', 1) + Convert_Str_ToFloat('0x1', 1)"_s,
       u"errorerrorerror"_s},
      {u"Hex_ToInt('ff') + Hex_ToInt('FF ') * 0 + Convert_Hex_ToInt('0')"_s, u"255"_s},
      {u"Hex_ToInt('7FFFFFFF')"_s, u"2147483647"_s},
      {u"Float_ToStr(2.5)"_s, Sys(u"2.5"_s)},
      {u"Float_ToStr(2.5, ';') + Float_ToStr(-0.25, ',') + Str_From_Float(7, ',')"_s,
       u"2;5-0,257"_s},
      {u"Ord('') + Ord(FALSE) + Ord(TRUE) * 10 + Str_Ord(\"Bc\")"_s, u"76"_s},
      {u"Ord('я') + Ord(Char(0)) + LenStr(Char(0))"_s, u"1104"_s},
      {u"Ord('𝄞')"_s, u"55348"_s},  // the first UTF-16 unit
      {u"Char(65) + Char(65.4) + Str_Char(1103)"_s, u"AAя"_s},
      {u"Format('Name: %s, amount: %d, price:%10.2f.', 'chairs', 120, 99.98)"_s,
       u"Name: chairs, amount: 120, price:     99.98."_s},
      {u"Format('%x %X %.4x %x', 255, 255, 255, -1)"_s, u"FF FF 00FF FFFFFFFFFFFFFFFF"_s},
      {u"Format('%d %d %D [%5d] [%-5d] [%.3d]', 2.5, 3.5, -7, 42, 42, -5)"_s,
       u"2 4 -7 [   42] [42   ] [-005]"_s},
      {u"Format('%f %.0f %.3f [%-6.2f]', 1/3, 2.5, -0.0001, 1.5)"_s, u"0.33 3 0.000 [1.50  ]"_s},
      {u"Format('[%6s] [%-4s] [%.2s] %s %0:s', 'ab', 'ab', 'abcd', 12.5, 'z')"_s,
       u"[    ab] [ab  ] [ab] 12.5 z"_s},
      {u"Format('%s-%s-%d', 'a')"_s, u"a--0"_s},  // missing arguments: empty text and 0
      {u"Format('50%% of %d', 5) + '|' + Format('%d%%', 5) + '|' + Str_Format('%d%% off', 5)"_s,
       u"50% of 5|5|5% off"_s},
      {u"Format('ab %d%', 5) + Format('%', 5) + Format('a%qb', 5)"_s, u"a"_s},
      {u"LenStr(Format('%999999s', 'a'))"_s, u"999999"_s},
      {u"Str_GetNames('Anna and Mary', "_s + kAnnMary + u")"_s, u"Mary"_s},
      {u"Str_GetNames('Anna and Mary', "_s + kAnnMary + u", ',', '')"_s, u"Ann,Mary"_s},
      {u"Str_GetNames('Anna and Mary', 'MARY'"_s + kCrLf + u", ',', 'i')"_s, u"MARY"_s},
      {u"Str_GetNames('Anna and Mary', 'MARY'"_s + kCrLf +
           u", ',', 'IW') + GetVornames('Ann', 'ann')"_s,
       u"MARY"_s},
      {u"Str_GetNames('Mary, Ann; Mary', "_s + kAnnMary + u", ' | ')"_s, u"Ann | Mary | Mary"_s},
      {u"Str_GetNames('Ann_x Ann1 Annä Мария', 'Ann'"_s + kCrLf + kCrLf + u" + 'Мари')"_s,
       u"Ann"_s},  // "_" separates, digits and letters do not; the unterminated last word counts
      {u"Str_GetNames('aaaa', 'aa'"_s + kCrLf + u", '', '') + Str_GetNames('', 'a')"_s,
       u"aaaaaa"_s},
  };
  for (const auto& c : cases) {
    host.errors.clear();
    EXPECT_EQ(Eval(c.expression), c.expected) << c.expression.toStdString();
    EXPECT_TRUE(host.errors.isEmpty()) << c.expression.toStdString();
  }
}

TEST_F(StringsTest, ResultKinds) {
  const struct {
    QString expression;
    TWordKind kind;
  } cases[] = {{u"Trim('a')"_s, wkString},         {u"Pos('a', 'a')"_s, wkFloat},
               {u"Str_ToFloat('1,5')"_s, wkFloat}, {u"Str_ToFloat('x', 1)"_s, wkString},
               {u"Hex_ToInt('1')"_s, wkFloat},     {u"Float_ToStr(1)"_s, wkString}};
  for (const auto& c : cases) {
    Eval(c.expression);
    EXPECT_EQ(KindOf(u"x"_s), c.kind) << c.expression.toStdString();
  }
  EXPECT_EQ(Eval(u"Char(65534)"_s), QString(QChar(0xFFFE)));
  EXPECT_EQ(Eval(u"Str_ToFloat('1,5') * 2"_s), u"3"_s);
}

TEST_F(StringsTest, CatalogueErrors) {
  const struct {
    QString expression;
    int message;
    QString first, second;
  } cases[] = {
      {u"Str_ToFloat('abc')"_s, 130, u"abc"_s, {}},
      {u"Str_ToFloat('1,x', 1 - 1)"_s, 130, u"1,x"_s, {}},
      {u"Hex_ToInt('80000000')"_s, 130, u"$80000000"_s, {}},
      {u"Hex_ToInt('$FF')"_s, 130, u"$$FF"_s, {}},
      {u"Hex_ToInt('')"_s, 130, u"$"_s, {}},
      {u"Hex_ToInt('1 2')"_s, 130, u"$1 2"_s, {}},
      {u"Hex_ToInt('1G')"_s, 130, u"$1G"_s, {}},
      {u"Float_ToStr(2.5, '')"_s, 118, u"Float_ToStr"_s, {}},
      {u"Float_ToStr(2.5, ',,')"_s, 118, u"Float_ToStr"_s, u",,"_s},
      {u"Ord(5)"_s, 129, u"5"_s, {}},
      {u"Char(-1)"_s, 118, u"str_char"_s, u"-1"_s},
      {u"Char(65535)"_s, 118, u"str_char"_s, u"65535"_s},
      {u"Str_Char(65534.6)"_s, 118, u"str_char"_s, Sys(u"65534.6"_s)},
  };
  for (const auto& c : cases) {
    const QString expected =
        c.message == 118 ? ErrorAt(0, 118, {c.first, c.second}) : ErrorAt(0, c.message, {c.first});
    EXPECT_EQ(ErrorOf(c.expression), expected) << c.expression.toStdString();
  }
}

TEST_F(StringsTest, RejectedFormatsAndHugeResultsStopTheLine) {
  for (const QString& expression :
       {u"Format('%f', 'abc')"_s, u"Format('%d', 'abc')"_s, u"Format('%qd', 1)"_s,
        u"Format('%*d', 1)"_s, u"Format('%1:d', 1)"_s, u"Format('%d', 1E300)"_s,
        u"Format('%99999999999999999999d', 1)"_s}) {
    EXPECT_NE(ErrorOf(expression), QString()) << expression.toStdString();
    EXPECT_EQ(Value(u"x"_s), QString()) << expression.toStdString();
  }
  host.errors.clear();
  EXPECT_EQ(Run({u"TRY x = Format('%f', 'abc')"_s, u"y = 1"_s}), QString());
  EXPECT_EQ(Value(u"y"_s), u"1"_s);

  host.errors.clear();
  EXPECT_NE(Run({u"s = 'aaaaaaaaaa'"_s, u"FOR i = 1,14"_s, u"  s = s + s"_s,
                 u"n = LenStr(ReplaceStr(s, 'a', s))"_s}),
            QString());
}

TEST_F(StringsTest, CallsAreValidatedAgainstTheFormulas) {
  EXPECT_TRUE(ErrorOf(u"Str_UpperCase(5)"_s)
                  .startsWith(MessageText(121) + u" \"UpperCase\". "_s + MessageText(122) +
                              u" № 1"_s + MessageText(123) + u"\" string\". "_s));
  EXPECT_TRUE(ErrorOf(u"Trim(TRUE)"_s).contains(u"\" string\""_s));
  EXPECT_EQ(ErrorOf(u"SubStr('abc')"_s), ErrorAt(0, 81, {u"SubStr"_s, 1, 2}));
  EXPECT_EQ(ErrorOf(u"Format('x')"_s), ErrorAt(0, 81, {u"Format"_s, 1, 2}));
  EXPECT_EQ(ErrorOf(u"lenstr('a', 'b')"_s), ErrorAt(0, 120, {u"LenStr"_s, 1}));
  EXPECT_NE(ErrorOf(u"Char('A')"_s), QString());
}
