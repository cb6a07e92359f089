// Compiled script functions: a fast run (Start) runs them compiled, a watched run (Continue)
// the general way; both must leave the same values, texts, kinds, messages and traces, and a
// breakpoint, Pause or error inside must show the state the general call shows.
#include <random>

#include "engine/compiled_functions.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList kFunctions = {
    u"stop"_s,
    u"function Fib(_n)"_s,
    u"  if _n < 2"_s,
    u"    return _n"_s,
    u"  return Fib(_n - 1) + Fib(_n - 2)"_s,
    u"function Half(_x)"_s,
    u"  # a comment and a blank line the call steps through"_s,
    u""_s,
    u"  return _x / 2"_s,
    u"function Grow(_n, _x)  # a float carried down the recursion, rounded as its text"_s,
    u"  if _n < 1"_s,
    u"    return _x"_s,
    u""_s,
    u"  return Grow(_n - 1, _x * 1.1 + 0.1)"_s,
    u"function Pick(_a, _b)"_s,
    u"  if _a > _b"_s,
    u"    if _a > 4"_s,
    u"      return _a * 100"_s,
    u"    return _a"_s,
    u"  return Half(_b - _a)"_s,
    u"function Deep(_n)"_s,
    u"  if _n < 1"_s,
    u"    return 0"_s,
    u"  return Deep(_n - 1) + 1 / _n"_s,
    u"function Third(_n, _x)  # the parameter is 0.333333333333333, not a third"_s,
    u"  if _n < 1"_s,
    u"    return _x * 3 - 1"_s,
    u"  return Third(_n - 1, _x / 3)"_s,
    u"function Pass(_n, _x)  # returns its parameter through calls alone: with the caller's text"_s,
    u"  if _n < 1"_s,
    u"    return _x"_s,
    u"  return Pass(_n - 1, _x)"_s,
    u"function Gcd(_a, _b)"_s,
    u"  if _b = 0"_s,
    u"    return _a"_s,
    u"  return Gcd(_b, _a % _b)"_s,
    u"function Poly(_x)  # locals appended and assigned again, an ELSE"_s,
    u"  _a = _x * _x"_s,
    u"  _b = _a / 3"_s,
    u"  if _b > 10"_s,
    u"    _a = _a - _b"_s,
    u"  else"_s,
    u"    _a = 7"_s,
    u"  return _a + _b"_s,
    u"function Sign(_x)"_s,
    u"  if _x < 0"_s,
    u"    return 0 - 1"_s,
    u"  else"_s,
    u"    if _x = 0"_s,
    u"      return 0"_s,
    u"  return 1"_s,
    u"function Sum(_n)  # locals given a number as written and another variable"_s,
    u"  _s = 0.50"_s,
    u"  _t = _n"_s,
    u"  if _n < 1"_s,
    u"    return _s"_s,
    u"  _s = Sum(_n - 1) + _t"_s,
    u"  return _s"_s,
    u"function Inv(_n)  # divides by zero when it reaches 0"_s,
    u"  if _n < 0"_s,
    u"    return 0"_s,
    u"  return Inv(_n - 1) + 1 / _n"_s,
    u"function Counted(_n)  # assigns a global: never compiled"_s,
    u"  k = k + 1"_s,
    u"  return _n"_s,
};

struct Outcome {
  QString error;
  QStringList variables;  // name, kind, text
  QString callExpression, calledFunction;
  int steps = 0, lastAssigned = 0, assignTarget = 0;
  int functionLevel = 0, blockDepth = 0, line = 0;
};

class CompiledFunctions : public ScriptTest {
 protected:
  // Runs the main lines with the functions, fast (compiled) or watched (general).
  Outcome RunBoth(const QStringList& main, bool fast, const QStringList& functions) {
    host.errors.clear();
    Load(main + functions);
    if (fast) {
      A_StartExecute(RunInitiator::Start);
    } else {
      Engine().BlockDepth = Engine().FunctionLevel = 0;  // as Start leaves them before it runs
      A_Continue_runExecute(RunInitiator::Continue);
    }
    Outcome o;
    o.error = host.errors.join(u'|');
    for (const Tvariable& v : Engine().Variables)
      o.variables << v.VarName + u' ' + QString::number(int(v.kind)) + u' ' + v.Text();
    o.callExpression = Engine().CallExpression;
    o.calledFunction = Engine().CalledScriptFunction;
    o.steps = Engine().StepCount;
    o.lastAssigned = Engine().LastAssignedVariable;
    o.assignTarget = Engine().AssignTarget;
    o.functionLevel = Engine().FunctionLevel;
    o.blockDepth = Engine().BlockDepth;
    o.line = Engine().CurrentLine;
    return o;
  }

  // The fast run compiles (or not, `compiles`; either for -1) and leaves what the watched run
  // leaves.
  void ExpectSameOutcome(const QStringList& main, int compiles = 1, const QStringList& functions = kFunctions) {
    const Outcome general = RunBoth(main, false, functions);
    const std::uint64_t before = CompiledCallCount();
    const Outcome fast = RunBoth(main, true, functions);
    const std::string script = (main + functions).join(u" / ").toStdString();
    if (compiles >= 0) EXPECT_EQ(CompiledCallCount() > before, compiles == 1) << script;
    EXPECT_EQ(fast.error, general.error) << script;
    EXPECT_EQ(fast.variables, general.variables) << script;
    EXPECT_EQ(fast.callExpression, general.callExpression) << script;
    EXPECT_EQ(fast.calledFunction, general.calledFunction) << script;
    EXPECT_EQ(fast.steps, general.steps) << script;
    EXPECT_EQ(fast.lastAssigned, general.lastAssigned) << script;
    EXPECT_EQ(fast.assignTarget, general.assignTarget) << script;
    EXPECT_EQ(fast.functionLevel, general.functionLevel) << script;
    EXPECT_EQ(fast.blockDepth, general.blockDepth) << script;
    EXPECT_EQ(fast.line, general.line) << script;
  }
};

}  // namespace

TEST_F(CompiledFunctions, GiveTheValuesTextsAndKindsOfGeneralCalls) {
  // Values computed, passed on as parameters (their texts rounded to 15 digits), returned as
  // a lone parameter with the caller's text (007, 2.0), from nested IFs and other functions.
  ExpectSameOutcome({u"for i = 1,12"_s, u"  r = Fib(i) + Fib(7) + Half(i) + Pick(i, 4) + Pick(5, i)"_s, u"a = Fib(007)"_s, u"b = Fib(1.0)"_s,
                     u"c = Fib(2.0)"_s, u"x = 0.1 + 0.2"_s, u"d = Grow(30, x)"_s, u"e = Grow(3, 0.3)"_s,
                     u"f = Pick(5, 1) + Pick(3, 1) + Pick(1, 4)"_s, u"g = Deep(40)"_s, u"h = Half(7)"_s});
  // Values handed back through calls alone keep the text of the parameter they come from.
  ExpectSameOutcome({u"for i = 1,6"_s, u"  p = Pass(i, 2.50) + Pass(i, i)"_s, u"a = Pass(3, 2.50)"_s,
                     u"b = Pass(2, 0.1 + 0.2)"_s, u"c = Pass(0, 7.0)"_s, u"g = Gcd(1071, 462) + Gcd(17, 5)"_s,
                     u"h = Gcd(1071, 462)"_s, u"t = Third(3, 1)"_s});
  // Locals, ELSE blocks; a call alone ends the run, so the last assignment inside shows.
  ExpectSameOutcome({u"for i = 1,8"_s, u"  p = Poly(i) + Poly(i * 2.5) + Sign(i - 4) + Sum(i)"_s, u"a = Sum(0)"_s,
                     u"b = Sum(3)"_s, u"c = Poly(1.1)"_s, u"d = Poly(9) + Sign(0)"_s, u"Poly(4)"_s});
  // Whole numbers past 2^53 and fractions that need all 15 digits.
  ExpectSameOutcome({u"for i = 1,8"_s, u"  r = Third(1, i) + Third(2, i)"_s, u"  t = Third(1, 1)"_s,
                     u"for i = 1,3"_s, u"  r = Grow(i, 123456789012.345) + Grow(i, 1e20)"_s,
                     u"  s = Fib(i) * 1e15 + Fib(i + 1)"_s});
}

TEST_F(CompiledFunctions, ErrorsInsideAreReportedAsBefore) {
  // The block stack fills (as deep as the general call goes), a division by zero deep down, a
  // parameter of another kind, a truth value where a number was.
  ExpectSameOutcome({u"for i = 1,8"_s, u"  r = Deep(i)"_s, u"s = Deep(150)"_s});
  ExpectSameOutcome({u"for i = 1,8"_s, u"  r = Inv(i + 0.5)"_s, u"s = Inv(-1) + Inv(6)"_s});
  ExpectSameOutcome({u"for i = 1,8"_s, u"  try r = Inv(i + 0.5) + Fib(i)"_s, u"try s = Inv(3)"_s, u"t = Error"_s});
  ExpectSameOutcome({u"for i = 1,8"_s, u"  r = Fib(i)"_s, u"s = Fib(i > 2)"_s});
  ExpectSameOutcome({u"for i = 1,8"_s, u"  r = Fib(i)"_s, u"s = Fib('3')"_s});
}

TEST_F(CompiledFunctions, OnlyIfAndReturnBodiesCompile) {
  ExpectSameOutcome({u"k = 0"_s, u"for i = 1,20"_s, u"  r = Counted(i) + Counted(2)"_s}, 0);
}

TEST_F(CompiledFunctions, BreakpointInsideHaltsWhereTheGeneralCallHalts) {
  Load(QStringList{u"for i = 1,30"_s, u"  r = Fib(8)"_s} + kFunctions);
  A_StartExecute(RunInitiator::Start);  // Fib compiles on the way
  // The first call is compiled now; the breakpoint drops it and the general call halts on the
  // line inside, at the bottom of the first descent, with its locals in place.
  host.breakpoints = {5};  // "    return _n"
  const std::uint64_t before = CompiledCallCount();
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(CompiledCallCount(), before);
  EXPECT_EQ(Engine().CurrentLine, 5);
  EXPECT_EQ(Engine().FunctionLevel, 8);  // Fib(8) down to Fib(1)
  EXPECT_EQ(GetVariableText(u"_n"_s), u"1"_s);
  host.breakpoints.clear();
  A_Continue_runExecute(RunInitiator::Continue);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"r"_s), u"21"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
}

TEST_F(CompiledFunctions, PauseInsideHaltsInTheCallAndContinueFinishesIt) {
  Load(QStringList{u"for i = 1,30"_s, u"  r = Fib(8)"_s, u"  if i = 20"_s, u"    s = Fib(12)"_s} + kFunctions);
  A_StartExecute(RunInitiator::Start);
  const std::uint64_t before = CompiledCallCount();
  host.pauseAfterSteps = 1000;  // asked before every line, compiled or not: deep in the run
  host.stepsSeen = 0;
  A_StartExecute(RunInitiator::Start);
  EXPECT_GT(CompiledCallCount(), before);
  EXPECT_GT(Engine().FunctionLevel, 0);
  EXPECT_FALSE(GetVariableText(u"_n"_s).isEmpty());  // the locals of the halted call
  host.pauseAfterSteps = -1;
  A_Continue_runExecute(RunInitiator::Continue);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"r"_s), u"21"_s);
  EXPECT_EQ(Value(u"s"_s), u"144"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
}

TEST_F(CompiledFunctions, ARunContinuedFromTheMainProgramGoesFastToo) {
  Load(QStringList{u"for i = 1,30"_s, u"  r = Fib(8) + Sum(i)"_s} + kFunctions);
  A_StartExecute(RunInitiator::Start);  // compiled on the way
  Engine().CurrentLine = 0;
  A_StepExecute(RunInitiator::Step);  // the FOR line, stepped
  const std::uint64_t before = CompiledCallCount();
  A_Continue_runExecute(RunInitiator::Timer);  // continued with fast display
  EXPECT_GT(CompiledCallCount(), before);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"r"_s), u"486.5"_s);  // Fib(8) + 0.50 + 1 + 2 + ... + 30
}

TEST_F(CompiledFunctions, CallsFromAResumedCallRunCompiled) {
  Load(QStringList{u"r = Fib(2)"_s, u"s = Fib(16)"_s} + kFunctions);
  A_StartExecute(RunInitiator::Start);  // compiled on the way
  host.pauseAfterSteps = 100;           // halts the general call that Pause drops back to
  host.stepsSeen = 0;
  A_StartExecute(RunInitiator::Start);
  ASSERT_GT(Engine().FunctionLevel, 0);
  host.pauseAfterSteps = -1;
  const std::uint64_t before = CompiledCallCount();
  A_Continue_runExecute(RunInitiator::Timer);  // continued with fast display
  EXPECT_GT(CompiledCallCount(), before);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"s"_s), u"987"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
}

TEST_F(CompiledFunctions, RandomBodiesGiveWhatGeneralCallsGive) {
  // Bodies put together at random from expressions over the parameters, a local and numbers
  // (whole and fractional, divisions that may fail, comparisons), IF/ELSE, assignments and a
  // recursion: whatever they compute or report, the fast run matches the watched one.
  std::mt19937 random(20261210);
  const auto pick = [&](const std::vector<QString>& from) { return from[random() % from.size()]; };
  const std::vector<QString> values = {u"_a + _b"_s, u"_a * 1.5 - _b"_s, u"_b / 3"_s, u"_a % 3"_s,
                                       u"(_a + 0.1) * 7"_s, u"_b / (_a - 2)"_s, u"_a * _a * _a * 1000000"_s,
                                       u"2 - _b"_s, u"_a"_s, u"0.25"_s, u"7"_s};
  const std::vector<QString> withLocal = {u"_c * _c"_s, u"_c - _a"_s, u"_c / 7"_s, u"_c"_s};
  const std::vector<QString> conditions = {u"_a > _b"_s, u"_b <= 2.5"_s, u"_a = 3"_s, u"_a <> _b"_s,
                                           u"_a * 2 >= _b + 1"_s};
  std::uint64_t compiledBefore = CompiledCallCount();
  for (int n = 0; n < 40; ++n) {
    QStringList f = {u"stop"_s, u"function F(_a, _b)"_s, u"  _c = "_s + pick(values)};
    f << u"  if "_s + pick(conditions);
    if (random() % 2) f << u"    return "_s + pick(withLocal);
    else f << u"    _c = "_s + pick(values);
    if (random() % 2) f << u"  else"_s << u"    _c = "_s + pick(withLocal);
    f << u"  if _a > 0"_s << u"    return F(_a - 1, "_s + pick(values) + u") + "_s + pick(withLocal);
    f << u"  return "_s + pick(withLocal);
    ExpectSameOutcome({u"for i = 1,6"_s, u"  r = F(i % 4, i * 0.7) + F(3, i)"_s, u"s = F(4, 2.5)"_s,
                       u"t = F(2, 0.1 + 0.2)"_s},
                      -1, f);
  }
  EXPECT_GT(CompiledCallCount(), compiledBefore);
}
