// Calls of the math functions inside numeric expressions, once their expression has a program:
// the same texts, kinds and errors as the calls made the general way.
#include "engine/compiled_functions.h"
#include "engine/message_numbers.h"
#include "engine/numeric_program.h"
#include "../engine/program_passes.h"
#include "function_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using NumericCalls = FunctionTest;

const QStringList kSetUp = {u"a = 7"_s, u"b = -2.5"_s, u"c = 0.1"_s, u"n = 3"_s, u"h = 1.50"_s,
                            u"m = 13 | 0"_s, u"t = 0.1 + 0.2"_s, u"w = 123456.75"_s};

QStringList Passes(const QString& expression) { return ProgramPasses(kSetUp, expression); }

}  // namespace

TEST_F(NumericCalls, ProgramsGiveTheGeneralCallsTextAndKind) {
  const QStringList expressions = {
      u"s + sqrt(a) * sin(a)"_s, u"sqrt(n) + 1"_s, u"cubic_root(b) * 2"_s, u"cos(c) - 1"_s,
      u"abs(b) + abs(m)"_s, u"floor(b) + ceil(c)"_s, u"round(h) + round(-h) + round(b)"_s,
      u"sqrt(a * a + n * n) / 2"_s, u"sin(c * 3) + cos(-a)"_s, u"sqrt(2) + sin(1.5E-007)"_s,
      u"sqrt(PI) + tan(PI / 4)"_s, u"exp(n) - log(a)"_s, u"atan(b) + asin(c) + acos(c)"_s,
      u"MATH_SQUARE_ROOT(a) + 0"_s, u"Sin(a) < Cos(a)"_s, u"sqrt(m) * m"_s, u"sin(0) * -1"_s,
      // variables whose number's text is not written yet (t is 0.3 by its text)
      u"sin(t) + sqrt(t)"_s, u"cos(w) * sqrt(w)"_s};
  for (const QString& expression : expressions) {
    SCOPED_TRACE(expression.toStdString());
    QStringList lines = Passes(expression);
    lines.prepend(u"s = 0"_s);
    const std::uint64_t runsBefore = NumericPrograms::RunCount();
    ASSERT_EQ(Run(lines), QString());
    EXPECT_GE(NumericPrograms::RunCount() - runsBefore, 2u);
    EXPECT_EQ(Value(u"r"_s), Value(u"r1"_s));
    EXPECT_EQ(KindOf(u"r"_s), KindOf(u"r1"_s));
  }
  ASSERT_EQ(Run(Passes(u"sqrt(n * 3) + 1"_s)), QString());
  EXPECT_EQ(Value(u"r"_s), u"4"_s);
}

TEST_F(NumericCalls, ArgumentsThatChangeGoTheGeneralWay) {
  // On the fourth pass the argument makes the call fail, or leaves what the direct computation
  // covers (a text, an overflow the JavaScript engine answers): the outcome is the one of
  // the call made at once.
  const QString cases[][2] = {
      {u"sqrt(d) + 1"_s, u"-4"_s},     {u"sqrt(d - 5) + 1"_s, u"1"_s}, {u"sin(d) + 1"_s, u"'abc'"_s},
      {u"exp(d) + 1"_s, u"1000"_s},    {u"sqrt(d) + 1"_s, u"true"_s},  {u"1 + log(d)"_s, u"0"_s},
      {u"abs(d) * 2"_s, u"2 > 1"_s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c[0] + u" with d = "_s + c[1]).toStdString());
    const QString atOnce = Run({u"d = "_s + c[1], u"r = "_s + c[0]});
    const QString valueAtOnce = Value(u"r"_s);
    const QString later = Run({u"d = 5"_s, u"FOR k = 1,4"_s, u"  IF k = 4"_s, u"    d = "_s + c[1],
                               u"  r = "_s + c[0]});
    EXPECT_EQ(later.section(u'\r', 0, 0), atOnce.section(u'\r', 0, 0));
    if (atOnce.isEmpty()) EXPECT_EQ(Value(u"r"_s), valueAtOnce);
  }
}

TEST_F(NumericCalls, CallsThatTakeNoProgramStillWork) {
  // Two arguments, an element argument, a call in the argument, a text function.
  QStringList lines = {u"array A[3]float"_s, u"A[2] = 16"_s, u"s = 0"_s, u"FOR k = 1,3"_s,
                       u"  s = s + pow(k, 2) + sqrt(A[2]) + sqrt(abs(-4)) + LenStr('ab') + max(k, 2)"_s};
  ASSERT_EQ(Run(lines), QString());
  EXPECT_EQ(Value(u"s"_s), u"45"_s);
}

TEST_F(NumericCalls, CompiledFunctionsCallThemAsGeneralCallsDo) {
  // A fast run (compiled once the lines have run) against a watched run (the general calls).
  const QStringList script = {
      u"s = 0"_s, u"for i = 1,12"_s, u"  s = s + Dist(i, i * 0.3) + Wave(i % 5, i / 7)"_s,
      u"a = Dist(3, 4)"_s, u"b = Wave(4, 0.1 + 0.2)"_s, u"c = Dist(-1, 2.50)"_s, u"Wave(2, 1.5)"_s,
      u"d = Wave(2, 0 - 5)"_s, u"stop"_s,
      u"function Dist(_x, _y)"_s, u"  _d = sqrt(_x * _x + _y * _y)"_s, u"  if round(_d) > 3"_s,
      u"    return _d * sin(_x)"_s, u"  return cos(_y) + abs(_x)"_s,
      u"function Wave(_n, _t)"_s, u"  if _n < 1"_s, u"    return sin(_t) + sqrt(_t)"_s,
      u"  _w = cos(_n) * sqrt(_t)"_s, u"  return Wave(_n - 1, _t * 1.1) + _w"_s};
  const auto outcome = [&](bool fast) {
    host.errors.clear();
    Load(script);
    if (fast) {
      A_StartExecute(RunInitiator::Start);
    } else {
      Engine().BlockDepth = Engine().FunctionLevel = 0;
      A_Continue_runExecute(RunInitiator::Continue);
    }
    QStringList o = {host.errors.join(u'|'), Engine().CallExpression, Engine().CalledScriptFunction};
    for (const Tvariable& v : Engine().Variables) o << v.VarName + u' ' + QString::number(int(v.kind)) + u' ' + v.Text();
    return o;
  };
  const QStringList general = outcome(false);
  const std::uint64_t before = CompiledCallCount();
  EXPECT_EQ(outcome(true), general);
  EXPECT_GT(CompiledCallCount(), before);
  EXPECT_FALSE(general[0].isEmpty());  // the square root of a negative number, last
}
