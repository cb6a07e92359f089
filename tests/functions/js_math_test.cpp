// The Math functions computed natively give what the JavaScript engine gives, argument for
// argument: the same number (and text), and the engine's way wherever they decline.
#include <cmath>
#include <limits>
#include <random>

#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "function_fixture.h"
#include "functions/js_functions.h"
#include "functions/js_math.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using NativeMath = FunctionTest;

// Argument texts: edge values, halves for round, the engine's own number texts of random values
// over many magnitudes, and texts JavaScript reads in other ways than as plain numbers.
QStringList SampleArguments() {
  QStringList texts = {u"0"_s, u"-0"_s, u"1"_s, u"-1"_s, u"0.5"_s, u"-0.5"_s, u"1.5"_s,
                       u"-1.5"_s, u"2.5"_s, u"-2.5"_s, u"0.49999999999999994"_s,
                       u"-0.49999999999999994"_s, u"4503599627370495.5"_s,
                       u"4503599627370497"_s, u"9007199254740993"_s, u"1e308"_s, u"1.7976931348623157e308"_s,
                       u"1e309"_s, u"-1e309"_s, u"5e-324"_s, u"1e-400"_s, u"2.2250738585072014E-308"_s,
                       u"1E010"_s, u"1.5E-007"_s, u"710"_s, u"-745.2"_s, u"3.14159265358979"_s,
                       u"1.5707963267949"_s, u"1e21"_s, u"123456789012345678901234567890"_s,
                       u"1e-7"_s, u"0.000001"_s, u"7.0E+3"_s, u"1.0e-5"_s, u"00012"_s};
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-12, 25);
  for (int i = 0; i < 3000; ++i) {
    const double x = mantissa(random) * std::pow(10.0, exponent(random));
    texts << NumberText(x) << QString::number(x, 'g', 17);
    texts << QString::number(std::floor(x * 2) / 2, 'f', 1);  // halves
  }
  return texts;
}

TWordStatus NumberWord(const QString& text) {
  TWordStatus w;
  w.kind = wkFloat;
  w.str = text;
  ParseNumberText(text, w.float_val);
  return w;
}

// The engine's result of a call, or its error text.
QString ThroughEngine(const QString& name, const TWordArray& args) {
  Engine().ErrorText.clear();
  TWordStatus result;
  EvaluateInJavaScript(name, args, result);
  const QString error = Engine().ErrorText;
  Engine().ErrorText.clear();
  return error.isEmpty() ? result.str + u'|' + QString::number(result.float_val, 'g', 17) : error;
}

QString Native(const QString& name, const TWordArray& args, bool& computed) {
  double value = 0;
  computed = NativeMathValue(name, args, value);
  if (!computed) return {};
  TWordStatus result;
  SetNumber(result, value);
  return result.str + u'|' + QString::number(result.float_val, 'g', 17);
}

}  // namespace

TEST_F(NativeMath, EveryFunctionGivesTheEnginesResults) {
  const QStringList samples = SampleArguments();
  const QString names[] = {u"abs"_s, u"sin"_s,  u"cos"_s,   u"tan"_s, u"asin"_s, u"acos"_s,
                           u"atan"_s, u"ceil"_s, u"floor"_s, u"round"_s, u"log"_s, u"exp"_s};
  for (const QString& name : names) {
    int computedCount = 0;
    for (const QString& text : samples) {
      TWordArray args;
      args.append(NumberWord(text));
      bool computed = false;
      const QString native = Native(name, args, computed);
      if (!computed) continue;
      ++computedCount;
      ASSERT_EQ(native, ThroughEngine(name, args)) << name.toStdString() << "(" << text.toStdString() << ")";
    }
    EXPECT_GT(computedCount, 500) << name.toStdString();  // asin and acos: |x| <= 1 only
  }
}

TEST_F(NativeMath, MinAndMaxOfSeveralArguments) {
  const QStringList samples = SampleArguments();
  for (const QString& name : {u"min"_s, u"max"_s}) {
    for (qsizetype i = 0; i + 3 <= samples.size(); i += 3) {
      for (int count = 1; count <= 3; ++count) {
        TWordArray args;
        for (int k = 0; k < count; ++k) args.append(NumberWord(samples[i + k]));
        bool computed = false;
        const QString native = Native(name, args, computed);
        if (computed) ASSERT_EQ(native, ThroughEngine(name, args)) << name.toStdString() << i;
      }
    }
  }
}

TEST_F(NativeMath, OtherArgumentsAndResultsGoToTheEngine) {
  double value = 0;
  TWordArray text;
  TWordStatus word;
  word.kind = wkString;
  word.str = u"5"_s;
  text.append(word);
  EXPECT_FALSE(NativeMathValue(u"abs"_s, text, value));  // a text: JavaScript converts it
  const char16_t* declined[] = {u"1,5", u" 1", u"--1", u".5", u"5.", u"Infinity", u"0x10", u"1e", u"012"};
  for (const char16_t* t : declined) {
    TWordArray args;
    args.append(NumberWord(QString::fromUtf16(t)));
    EXPECT_FALSE(NativeMathValue(u"floor"_s, args, value)) << QString::fromUtf16(t).toStdString();
  }
  TWordArray big;
  big.append(NumberWord(u"1000"_s));
  EXPECT_FALSE(NativeMathValue(u"exp"_s, big, value));  // Infinity
  TWordArray negative;
  negative.append(NumberWord(u"-1"_s));
  EXPECT_FALSE(NativeMathValue(u"log"_s, negative, value));  // NaN: the engine's message
  EXPECT_FALSE(NativeMathValue(u"charAt"_s, big, value));

  // In a script the results are the same either way.
  EXPECT_EQ(Eval(u"round(2.5) + round(-2.5) + floor(-0.5) + abs(-3)"_s), u"3"_s);
  EXPECT_EQ(Eval(u"max(1, 7.5, -2) * min(4, 2)"_s), u"15"_s);
}
