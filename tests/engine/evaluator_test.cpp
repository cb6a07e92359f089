// Expression evaluation: operator stages, result kinds and number texts, errors, string
// indexing, calls and the splitting of call arguments.
#include <cmath>

#include "engine/arrays.h"
#include "engine/evaluator.h"
#include "engine/names.h"
#include "engine/word_reader.h"
#include "engine_fixture.h"
#include "test_units.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Number of arguments a dispatcher sees: the list ends at the first empty entry of kind wkNone.
int ArgCount(const TWordArray& args) {
  int n = 0;
  while (n < kMaxWords && !(args[n].kind == wkNone && args[n].str.isEmpty())) ++n;
  return n;
}

// A small stand-in for the general library: pow(a, b), three() = 3, word() = 'ab', and f(...),
// EXISTS(...), ARRAY_DELETE(...) that give their argument count. The last call is recorded.
class FakeLibrary : public ListUnit {
 public:
  FakeLibrary()
      : ListUnit(wkEmbeddedFunction,
                 {u"pow"_s, u"three"_s, u"word"_s, u"f"_s, u"EXISTS"_s, u"ARRAY_DELETE"_s}) {}
  QString lastName;
  TWordArray lastArgs;
  int calls = 0;

  void Dispatch(const QString& name, const TWordArray& args, TWordStatus& result) override {
    ++calls;
    lastName = name;
    lastArgs = args;
    result = EmptyWord;
    if (SameName(name, u"pow"))
      SetNumber(result, std::pow(args[0].float_val, args[1].float_val));
    else if (SameName(name, u"three"))
      SetNumber(result, 3);
    else if (SameName(name, u"word")) {
      result.kind = wkString;
      result.str = u"ab"_s;
    } else
      SetNumber(result, ArgCount(args));
  }
};

}  // namespace

class Evaluator : public EngineTest {
 protected:
  FakeLibrary library;
  ScopedUnits units{&library};

  TWordStatus Eval(const QString& text) {
    Engine().ErrorText.clear();
    TWordArray words;
    SplitWords(text, words);
    EXPECT_TRUE(Error().isEmpty()) << "split: " << Error().toStdString();
    TWordStatus result;
    Evaluate(words, words.lastIndex(), result);
    return result;
  }
  // Declares an array as the ARRAY statement does.
  void Declare(const QString& statement) {
    TWordArray words;
    SplitWords(statement, words);
    DeclareArray(words);
    ASSERT_TRUE(Error().isEmpty()) << Error().toStdString();
  }
};

TEST_F(Evaluator, PrecedenceResultKindsAndNumberTexts) {
  SetVariable(u"a"_s, u"6"_s, wkInt);
  SetVariable(u"b"_s, u"4"_s, wkInt);
  SetVariable(u"q"_s, u"'x'"_s, wkString);  // a text that carries its own quotes
  SetVariable(u"flag"_s, u"TRUE"_s, wkBool);
  const struct {
    const char16_t* expr;
    const char16_t* text;
    TWordKind kind;
  } cases[] = {
      // arithmetic, signs and brackets
      {u"2 + 3 * 4", u"14", wkFloat},
      {u"(2 + 3) * 4", u"20", wkFloat},
      {u"10 - 4 - 3", u"3", wkFloat},
      {u"2 * 3 % 4", u"2", wkFloat},
      {u"2 * -3", u"-6", wkFloat},
      {u"-(2 + 3)", u"-5", wkFloat},
      {u"2 - -3", u"5", wkFloat},
      {u"-2 * -3 - -1", u"7", wkFloat},
      {u"(-2 + 5) * 2", u"6", wkFloat},
      {u"2 * (-3 + 1)", u"-4", wkFloat},
      {u"((1 + 1) * (2 + 1)) / 4", u"1.5", wkFloat},
      {u"7 / 2", u"3.5", wkFloat},
      {u"23 % 5", u"3", wkFloat},
      {u"-7 % 2", u"-1", wkFloat},
      {u"7.9 % 2", u"1", wkFloat},
      {u"7 % -3", u"1", wkFloat},
      // wkInt only when both operands are wkInt; "/" always gives wkFloat
      {u"a * b", u"24", wkInt},
      {u"a - b", u"2", wkInt},
      {u"a % b", u"2", wkInt},
      {u"a / b", u"1.5", wkFloat},
      {u"a / 3", u"2", wkFloat},
      {u"a * 2", u"12", wkFloat},
      {u"a = 6", u"true", wkBool},
      // number texts
      {u"1.50", u"1.50", wkFloat},
      {u"1.50 + 0", u"1.5", wkFloat},
      {u"0.1 + 0.2", u"0.3", wkFloat},
      {u"1 / 3", u"0.333333333333333", wkFloat},
      {u"2 / 3", u"0.666666666666667", wkFloat},
      {u"-1 / 4", u"-0.25", wkFloat},
      {u"1 / 10000", u"0.0001", wkFloat},
      {u"1 / 100000", u"1E-5", wkFloat},
      {u"123456789012345 + 0", u"123456789012345", wkFloat},
      {u"1E15 * 1", u"1E15", wkFloat},
      {u"1234567890123456 + 0", u"1.23456789012346E15", wkFloat},
      {u"2 - 2", u"0", wkFloat},
      {u"1E308 + 1E308", u"INF", wkFloat},
      {u"PI * 1", u"3.14159265358979", wkFloat},
      // bit operators: after arithmetic, "<<"/">>" before "&" before "^" before "|"
      {u"60 & 14", u"12", wkInt},
      {u"3 << 2", u"12", wkInt},
      {u"14 >> 2", u"3", wkInt},
      {u"5 ^ 3", u"6", wkInt},
      {u"5 | 2", u"7", wkInt},
      {u"1 << 2 + 1", u"8", wkInt},
      {u"4 | 6 & 3", u"6", wkInt},
      {u"12 ^ 10 & 6", u"14", wkInt},
      {u"1 << 65", u"2", wkInt},
      // joining texts keeps the left operand's kind
      {u"'Masha ' + 'and'", u"Masha and", wkString},
      {u"\"a\" + 'b'", u"ab", wkStringDQ},
      // equality across kinds, comparisons
      {u"'a' = \"a\"", u"false", wkBool},
      {u"'a' <> \"a\"", u"true", wkBool},
      {u"'1' = 1", u"false", wkBool},
      {u"1 <> TRUE", u"true", wkBool},
      {u"'a' < \"b\"", u"true", wkBool},
      {u"'B' < 'a'", u"true", wkBool},
      {u"'abc' >= 'abd'", u"false", wkBool},
      {u"'ab' > 'a'", u"true", wkBool},
      {u"'' = ''", u"true", wkBool},
      {u"q = 'x'", u"true", wkBool},
      {u"'a' + 'b' = 'ab'", u"true", wkBool},
      {u"1 + 2 = 3", u"true", wkBool},
      {u"2 > -3", u"true", wkBool},
      {u"3 & 1 = 1", u"true", wkBool},
      // AND/OR left to right without precedence, NOT loosest
      {u"(1 < 2) AND (2 > 3)", u"false", wkBool},
      {u"1 < 2 AND 3 < 4", u"true", wkBool},
      {u"TRUE OR FALSE AND FALSE", u"false", wkBool},
      {u"TRUE OR TRUE AND FALSE", u"false", wkBool},
      {u"NOT TRUE AND FALSE", u"true", wkBool},
      {u"NOT FALSE OR TRUE", u"false", wkBool},
      {u"NOT 1 = 2", u"true", wkBool},
      {u"flag AND NOT FALSE", u"true", wkBool},
  };
  for (const auto& c : cases) {
    const QString expr = QString::fromUtf16(c.expr);
    const TWordStatus r = Eval(expr);
    EXPECT_TRUE(Error().isEmpty()) << expr.toStdString() << ": " << Error().toStdString();
    EXPECT_EQ(r.str, QString::fromUtf16(c.text)) << expr.toStdString();
    EXPECT_EQ(r.kind, c.kind) << expr.toStdString();
    EXPECT_EQ(r.oper_prioritet, 0) << expr.toStdString();
    if (c.kind == wkBool) {
      EXPECT_EQ(r.bool_val, r.str == u"true"_s) << expr.toStdString();
    }
    if (c.kind == wkFloat || c.kind == wkInt) {
      bool ok = false;
      const double v = r.str.toDouble(&ok);
      if (ok && std::isfinite(v)) {
        EXPECT_NEAR(r.float_val, v, 1e-9 * std::max(1.0, std::fabs(v))) << expr.toStdString();
      }
    }
  }
}

TEST_F(Evaluator, DivisionByZeroIsAFixedTextAndGivesZero) {
  for (const char16_t* expr : {u"1 / 0", u"5 % 0", u"5 % 0.5", u"1E300 * 1E300"}) {
    const TWordStatus r = Eval(QString::fromUtf16(expr));
    EXPECT_EQ(Error(), u"Devision by zero."_s) << QString::fromUtf16(expr).toStdString();
    EXPECT_EQ(r.str, u"0"_s);
    EXPECT_EQ(r.float_val, 0.0);
  }
  // the evaluation goes on with 0; the caller finds the error afterwards
  const TWordStatus r = Eval(u"1 / 0 + 2"_s);
  EXPECT_EQ(Error(), u"Devision by zero."_s);
  EXPECT_EQ(r.str, u"2"_s);
}

TEST_F(Evaluator, Errors) {
  SetVariable(u"v"_s, QString(), wkNone);  // created but never given a value
  const struct {
    const char16_t* expr;
    int message;
    const char16_t* arg;  // nullptr: no argument
  } cases[] = {
      {u"x + 1", 76, u"x"},           {u"zz > 1", 76, u"zz"},      {u"zz = 'a'", 76, u"zz"},
      {u"zz(1) + 1", 90, u"zz"},      {u"1 + zz (2)", 90, u"zz"},  {u"v + 1", 129, u"v"},
      {u"'a' + 1", 49, nullptr},      {u"'a' * 'b'", 49, nullptr}, {u"TRUE AND 1", 49, nullptr},
      {u"TRUE = FALSE", 49, nullptr}, {u"NOT 1", 49, nullptr},     {u"1 2", 49, nullptr},
      {u"(1 + 2", 47, nullptr},       {u"1 + 2)", 47, nullptr},    {u"((1)", 47, nullptr},
      {u"1.5 & 1", 83, u"1.5"},       {u"1 | 2.5", 83, u"2.5"},    {u"2.5 << 1.5", 83, u"2.5"},
      {u"-1 ^ 1", 83, u"-1"},
  };
  for (const auto& c : cases) {
    const QString expr = QString::fromUtf16(c.expr);
    Eval(expr);
    const QString expected =
        c.arg ? Expected(c.message, {QString::fromUtf16(c.arg)}) : Expected(c.message);
    EXPECT_EQ(Error(), expected) << expr.toStdString();
  }
}

TEST_F(Evaluator, VariablesAndStringIndexing) {
  SetVariable(u"s"_s, u"abcdef"_s, wkString);
  SetVariable(u"d"_s, u"a"_s, wkStringDQ);
  SetVariable(u"n"_s, u"2.50"_s, wkFloat);
  SetVariable(u"i"_s, u"3"_s, wkFloat);
  const struct {
    const char16_t* expr;
    const char16_t* text;
  } cases[] = {
      {u"s + ''", u"abcdef"},  {u"n", u"2.50"},          {u"n * 2", u"5"},
      {u"s[1]", u"a"},         {u"s[6]", u"f"},          {u"s[i]", u"c"},
      {u"s[i + 1]", u"d"},     {u"s[2.5]", u"b"},        {u"s[3.5]", u"d"},
      {u"s[0]", u""},          {u"s[7]", u""},           {u"s[-1]", u""},
      {u"s[2] + s[1]", u"ba"}, {u"s[1] = 'a'", u"true"}, {u"d = 'a'", u"false"},
      {u"d = \"a\"", u"true"},
  };
  for (const auto& c : cases) {
    const QString expr = QString::fromUtf16(c.expr);
    const TWordStatus r = Eval(expr);
    EXPECT_TRUE(Error().isEmpty()) << expr.toStdString() << ": " << Error().toStdString();
    EXPECT_EQ(r.str, QString::fromUtf16(c.text)) << expr.toStdString();
  }
  EXPECT_EQ(Eval(u"s + ''"_s).kind, wkString);
  EXPECT_EQ(Eval(u"d + ''"_s).kind, wkStringDQ);

  // the caller's words are left as they were
  TWordArray words;
  SplitWords(u"s[2] + 'x'"_s, words);
  TWordStatus r;
  Evaluate(words, words.lastIndex(), r);
  EXPECT_EQ(r.str, u"bx"_s);
  EXPECT_EQ(words.lastIndex(), 5);
  EXPECT_EQ(words[0].kind, wkVariableName);
  EXPECT_EQ(words[1].kind, wkOpeningSquareBracket);
}

TEST_F(Evaluator, ApplyPowerChangesOnlyNumbers) {
  TWordStatus w;
  SetNumber(w, 3);
  ApplyPower(w, 2);
  EXPECT_EQ(w.str, u"9"_s);
  EXPECT_EQ(w.float_val, 9.0);
  EXPECT_EQ(w.kind, wkFloat);

  SetNumber(w, 2, wkInt);
  ApplyPower(w, 3);
  EXPECT_EQ(w.str, u"8"_s);
  EXPECT_EQ(w.kind, wkInt);

  SetNumber(w, 0.1);
  ApplyPower(w, 3);  // the text is rewritten with 15 significant digits
  EXPECT_EQ(w.str, u"0.001"_s);

  SetNumber(w, 5);
  ApplyPower(w, 0);
  ApplyPower(w, 4);
  EXPECT_EQ(w.str, u"5"_s);

  TWordStatus text;
  text.kind = wkString;
  text.str = u"ab"_s;
  ApplyPower(text, 2);
  EXPECT_EQ(text.str, u"ab"_s);
  EXPECT_EQ(text.kind, wkString);

  // written after a function name in an expression
  EXPECT_EQ(Eval(u"three²() + 1"_s).str, u"10"_s);
  EXPECT_EQ(Eval(u"three³()"_s).str, u"27"_s);
  EXPECT_EQ(Eval(u"word²() + 'c'"_s).str, u"abc"_s);
  EXPECT_TRUE(Error().isEmpty()) << Error().toStdString();
}

TEST_F(Evaluator, CallsInExpressions) {
  SetVariable(u"x"_s, u"5"_s, wkFloat);
  EXPECT_EQ(Eval(u"pow(2, 3) * 2"_s).str, u"16"_s);
  EXPECT_EQ(Eval(u"1 + pow(pow(2, 2), x - 3)"_s).str, u"17"_s);
  EXPECT_TRUE(Error().isEmpty()) << Error().toStdString();

  // a lone variable argument reaches the dispatcher with its index
  Eval(u"f(x, x + 1)"_s);
  ASSERT_EQ(ArgCount(library.lastArgs), 2);
  EXPECT_EQ(library.lastArgs[0].var_index, FindVariable(u"x") + 1);
  EXPECT_EQ(library.lastArgs[0].str, u"5"_s);
  EXPECT_EQ(library.lastArgs[1].var_index, 0);
  EXPECT_EQ(library.lastArgs[1].str, u"6"_s);

  // a failing argument stops before the call
  library.calls = 0;
  Eval(u"f(zz + 1)"_s);
  EXPECT_EQ(Error(), Expected(76, {u"zz"_s}));
  EXPECT_EQ(library.calls, 0);
}

TEST_F(Evaluator, SplitCallArguments) {
  Declare(u"ARRAY M[2,2] FLOAT = ((1,2),(3,4))"_s);
  SetVariable(u"x"_s, u"5"_s, wkFloat);
  QString name;
  TWordArray args;

  // commas inside a nested call and between element indexes do not cut
  ASSERT_TRUE(SplitCall(u"  f(1, pow(2, 3), M[2, 1], M, x) "_s, &name, args))
      << Error().toStdString();
  EXPECT_EQ(name, u"f"_s);
  ASSERT_EQ(ArgCount(args), 5);
  EXPECT_EQ(args[0].str, u"1"_s);
  EXPECT_EQ(args[1].str, u"8"_s);
  EXPECT_EQ(args[2].str, u"3"_s);
  EXPECT_EQ(args[2].var_index, 0);
  EXPECT_EQ(args[3].kind, wkArrayName);  // a lone array name stays unevaluated
  EXPECT_EQ(args[3].str, u"M"_s);
  EXPECT_EQ(args[4].str, u"5"_s);
  EXPECT_EQ(args[4].var_index, FindVariable(u"x") + 1);

  ASSERT_TRUE(SplitCall(u"f()"_s, &name, args));
  EXPECT_EQ(ArgCount(args), 0);
  ASSERT_TRUE(SplitCall(u"f('')"_s, &name, args));
  ASSERT_EQ(ArgCount(args), 1);
  EXPECT_EQ(args[0].kind, wkString);

  // an "=" before the first bracket: no call, no error
  EXPECT_FALSE(SplitCall(u"a = f(1)"_s, &name, args));
  EXPECT_TRUE(Error().isEmpty());

  // EXISTS and ARRAY_DELETE take their arguments as written
  ASSERT_TRUE(SplitCall(u"EXISTS(x, M, zz)"_s, &name, args)) << Error().toStdString();
  ASSERT_EQ(ArgCount(args), 3);
  EXPECT_EQ(args[0].kind, wkVariableName);
  EXPECT_EQ(args[0].str, u"x"_s);
  EXPECT_EQ(args[1].kind, wkArrayName);
  EXPECT_EQ(args[1].str, u"M"_s);
  EXPECT_EQ(args[2].kind, wkUnknownIdentifier);
  EXPECT_EQ(args[2].str, u"zz"_s);
  EXPECT_TRUE(Error().isEmpty());

  const struct {
    const char16_t* call;
    const char16_t* name;
  } refused[] = {{u"EXISTS(1)", u"EXISTS"},
                 {u"ARRAY_DELETE(x + 1)", u"ARRAY_DELETE"},
                 {u"exists(x, 'a')", u"exists"},
                 {u"Array_Delete(M[1, 1])", u"Array_Delete"}};
  for (const auto& c : refused) {
    Engine().ErrorText.clear();
    SplitCall(QString::fromUtf16(c.call), &name, args);
    EXPECT_EQ(Error(), Expected(117, {QString::fromUtf16(c.name)}))
        << QString::fromUtf16(c.call).toStdString();
  }
}

// The word after the last one reads as an empty word: an unknown name, a string variable or an
// array name at the end of an expression or argument list must not look at what lies beyond.
TEST_F(Evaluator, NothingFollowsTheLastWord) {
  SetVariable(u"s"_s, u"abc"_s, wkString);
  Declare(u"ARRAY M[2] FLOAT = (1,2)"_s);
  Eval(u"1 + zz (2)"_s);
  Eval(u"1 + zz"_s);
  EXPECT_EQ(Error(), Expected(76, {u"zz"_s}));
  Eval(u"'a' = zz"_s);
  EXPECT_EQ(Error(), Expected(76, {u"zz"_s}));

  Eval(u"'y' + s [2]"_s);
  const TWordStatus r = Eval(u"'x' + s"_s);
  EXPECT_TRUE(Error().isEmpty()) << Error().toStdString();
  EXPECT_EQ(r.str, u"xabc"_s);

  QString name;
  TWordArray args;
  ASSERT_TRUE(SplitCall(u"f(1, M)"_s, &name, args)) << Error().toStdString();
  EXPECT_EQ(args[1].kind, wkArrayName);
  EXPECT_EQ(args[1].str, u"M"_s);
}
