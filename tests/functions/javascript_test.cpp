// The JavaScript-mapped functions, Eval's engine, and the regular-expression functions.
#include "function_fixture.h"
#include "functions/js_functions.h"
#include "functions/script_host.h"
#include "engine/evaluator.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TWordArray Arguments(const QString& text) {
  QString name;
  TWordArray args;
  SplitCall(u"f("_s + text + u')', &name, args);
  return args;
}

}  // namespace

using JavaScriptFunctions = FunctionTest;

TEST_F(JavaScriptFunctions, BuiltTexts) {
  const struct {
    const char16_t *name, *args, *text;
  } cases[] = {
      {u"fromCharCode", u"65, 66", u"String.fromCharCode(65,66)"},
      {u"getFullYear", u"", u"(new Date()).getFullYear()"},
      {u"abs", u"-2", u"Math.abs(-2)"},
      {u"charAt", u"'s', 1", u"(\"s\").charAt(1)"},
      {u"Str_CharAt", u"'a\"b', 1", u"(\"a\\\"b\").charAt(1)"},  // synonym; quote escaped
      {u"MATH_ABS", u"3", u"Math.abs(3)"},
      {u"RegExp_indexJS", u"'/b/g', 2, 'abcb'",
       u"var myRE=(/b/g); myRE.lastIndex=2; var result=myRE.exec(\"abcb\"); (result)?result.index:-1;"},
      {u"RegExp_matchJS", u"'/x/', -1, 'a'",
       u"var text=\"a\"; var result=text.match(/x/); (result)?result:\"\";"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JavaScriptCallText(QString::fromUtf16(c.name), Arguments(QString::fromUtf16(c.args))),
              QString::fromUtf16(c.text))
        << QString::fromUtf16(c.name).toStdString();
}

TEST_F(JavaScriptFunctions, ResultsAndKinds) {
  EXPECT_EQ(Run({u"a = charAt('abc', 1)"_s, u"b = charCodeAt('A', 0)"_s, u"c = indexOf('abc', 'c')"_s,
                 u"d = fromCharCode(65, 66, 67)"_s, u"e = max(3, 7, 5)"_s, u"f = round(2.5)"_s,
                 u"g = RegExp_matchJS('/\\d+/g', 1, 'a1b22')"_s, u"h = RegExp_matchJS('/\\d+/g', 0, 'a1b22')"_s,
                 u"i = RegExp_indexJS('/b/g', 2, 'abcb')"_s, u"j = getMonth('2000/01/02 23:59:45')"_s,
                 u"k = DT_Year('2000/01/02 23:59:45')"_s, u"l = abs²(-3)"_s}),
            QString());
  const struct {
    const char16_t* name;
    const char16_t* value;
    TWordKind kind;
  } expected[] = {{u"a", u"b", wkString}, {u"b", u"65", wkFloat}, {u"c", u"2", wkFloat},
                  {u"d", u"ABC", wkString}, {u"e", u"7", wkFloat}, {u"f", u"3", wkFloat},
                  {u"g", u"22", wkString}, {u"h", u"1", wkString}, {u"i", u"3", wkFloat},
                  {u"j", u"0", wkFloat}, {u"k", u"2000", wkFloat}, {u"l", u"9", wkFloat}};
  for (const auto& x : expected) {
    EXPECT_EQ(Value(QString::fromUtf16(x.name)), QString::fromUtf16(x.value)) << QString::fromUtf16(x.name).toStdString();
    EXPECT_EQ(KindOf(QString::fromUtf16(x.name)), x.kind) << QString::fromUtf16(x.name).toStdString();
  }
}

TEST_F(JavaScriptFunctions, Errors) {
  EXPECT_TRUE(Run({u"x = charAt(1)"_s}).startsWith(u"JavaScript: "_s));
  EXPECT_EQ(Run({u"x = charCodeAt('A', 5)"_s}), ErrorAt(0, 46, {u"charCodeAt"_s}));  // NaN
  // A text with line breaks and quotes stays one JavaScript string.
  EXPECT_EQ(Run({u"x = indexOf(\"a'\" + 'b', 'b')"_s}), QString());
  EXPECT_EQ(Value(u"x"_s), u"2"_s);
}

using RegularExpressions = FunctionTest;

TEST_F(RegularExpressions, TestReplaceAndOptions) {
  EXPECT_EQ(Run({u"a = RE_TestM('\\d{6,6}', 'abc 23456, z623, k1234, 91')"_s,
                 u"b = RE_TestM('(hannover)', 'abcHannoverABC')"_s,
                 u"c = RE_TestM('(hannover)', 'abcHannoverABC', '')"_s,
                 u"d = RE_ReplaceM('(apple[s]*)', 'plum apple Apple APPLE apples', 'fruit', 'g')"_s,
                 u"e = RE_ReplaceM('(apple[s]*)', 'plum apple Apple APPLE apples', 'fruit', 'gi')"_s,
                 u"f = RE_ReplaceM('(\\w+) (\\w+)', 'ab cd', '$2 $1')"_s}),
            QString());
  EXPECT_EQ(Cell(u"a"_s), u"<false>"_s);
  EXPECT_EQ(Cell(u"b"_s), u"<true>"_s);
  EXPECT_EQ(Cell(u"c"_s), u"<false>"_s);
  EXPECT_EQ(Value(u"d"_s), u"plum fruit Apple APPLE fruit"_s);
  EXPECT_EQ(Value(u"e"_s), u"plum fruit fruit fruit fruit"_s);
  EXPECT_EQ(Value(u"f"_s), u"cd ab"_s);
}

TEST_F(RegularExpressions, MatchesPersistBetweenCalls) {
  EXPECT_EQ(Run({u"a = RE_GetM(0, '[a-zA-Z]+', 'Z1 ab5')"_s, u"pa = RE_Match_pos"_s, u"b = RE_GetM()"_s,
                 u"pb = RE_Match_pos"_s, u"c = RE_GetM()"_s, u"d = RE_GetM(1)"_s}),
            QString());
  EXPECT_EQ(Value(u"a"_s), u"Z"_s);
  EXPECT_EQ(Value(u"pa"_s), u"0"_s);
  EXPECT_EQ(Value(u"b"_s), u"ab"_s);
  EXPECT_EQ(Value(u"pb"_s), u"3"_s);
  EXPECT_EQ(Value(u"c"_s), QString());
  EXPECT_EQ(Value(u"d"_s), u"ab"_s);  // match 1 of the last search
  EXPECT_EQ(Value(u"RE_Match_len"_s), u"2"_s);
  // A later run continues the same search.
  EXPECT_EQ(Run({u"x = RE_GetM(0)"_s}), QString());
  EXPECT_EQ(Value(u"x"_s), u"Z"_s);
}

TEST_F(RegularExpressions, BadPatternsAndTextsEndInAnError) {
  EXPECT_FALSE(Run({u"x = RE_TestM('(', 'a')"_s}).isEmpty());
  QString error;
  EXPECT_FALSE(VBScriptHost::Instance().ExecuteStatement(u"re.Pattern = \"a"_s, error));
  EXPECT_EQ(error, u"Unterminated string constant"_s);
  EXPECT_FALSE(VBScriptHost::Instance().ExecuteStatement(u"Dim x"_s, error));
  QString value;
  EXPECT_TRUE(VBScriptHost::Instance().ExecuteStatement(u"Set re = new regexp"_s, error));
  EXPECT_TRUE(VBScriptHost::Instance().ExecuteStatement(u"re.Pattern = \"say \"\"hi\"\"\""_s, error));
  EXPECT_TRUE(VBScriptHost::Instance().Eval(u"re.Test(\"they say \"\"hi\"\"\")"_s, value, error));
  EXPECT_EQ(value, u"True"_s);
}

// Backslashes, quotes and line breaks of a script's text reach JavaScript and the regular
// expressions as the same characters.
TEST_F(RegularExpressions, TextsReachTheEnginesUnchanged) {
  const QString crlf = u"'one' + Char(13) + Char(10) + 'two'"_s;
  EXPECT_EQ(Run({u"t = 'C:\\temp\\new'"_s, u"p = indexOf(t, 'new')"_s, u"q = charAt(t, 2)"_s,
                 u"u = "_s + crlf, u"c = charCodeAt(u, 3)"_s, u"n = indexOf(u, 'two')"_s,
                 u"r = RegExp_replaceJS('/\\\\/g', '\\\\', t)"_s, u"i = RegExp_indexJS('/two/', 0, u)"_s,
                 u"a = RE_TestM('two', u)"_s, u"b = RE_TestM('a\"b', 'xa\"by')"_s,
                 u"d = RE_ReplaceM('\\\\', t, '/')"_s, u"e = RE_ReplaceM('\\r\\n', u, ' & ')"_s,
                 u"f = RE_GetM(0, 'o.', u)"_s})
                .toStdString(),
            "");
  const struct {
    const char16_t* name;
    const char16_t* value;
  } expected[] = {{u"p", u"8"},   {u"q", u"\\"},         {u"c", u"13"}, {u"n", u"5"},
                  {u"i", u"5"},   {u"r", u"C:\\\\temp\\\\new"}, {u"a", u"true"}, {u"b", u"true"},
                  {u"d", u"C:/temp/new"}, {u"e", u"one & two"}, {u"f", u"on"}};
  for (const auto& x : expected)
    EXPECT_EQ(Value(QString::fromUtf16(x.name)).toStdString(), QString::fromUtf16(x.value).toStdString())
        << QString::fromUtf16(x.name).toStdString();
}

TEST_F(JavaScriptFunctions, HostKeepsStateAndReportsUndefinedAsEmpty) {
  QString value, error;
  ASSERT_TRUE(JavaScriptHost::Instance().Eval(u"var counter = 1"_s, value, error));
  ASSERT_TRUE(JavaScriptHost::Instance().Eval(u"counter += 1; counter"_s, value, error));
  EXPECT_EQ(value, u"2"_s);
  EXPECT_FALSE(JavaScriptHost::Instance().Eval(u"throw new Error('boom')"_s, value, error));
  EXPECT_EQ(error, u"boom"_s);
}
