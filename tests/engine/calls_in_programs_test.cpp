// Script-function calls inside numeric expressions that a line repeats: the expression's
// program makes the calls itself, and every result stays what the general evaluation gives:
// variables are read before any call, no call runs twice when the program gives up after
// its calls, and a call that halts ends the evaluation as it always did.
#include "engine/compiled_functions.h"
#include "engine/numeric_program.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using CallsInPrograms = ScriptTest;

// "n" counts the calls of F and G.
const QStringList kCounted = {u"function F(_a)"_s, u"  n = n + 1"_s, u"  IF _a = 3"_s, u"    return 'a'"_s,
                              u"  return _a * 10"_s, u"function G(_b)"_s, u"  n = n + 1"_s,
                              u"  IF _b = 3"_s, u"    return 'b'"_s, u"  return 3 - _b"_s};

}  // namespace

TEST_F(CallsInPrograms, RepeatedLinesUsePrograms) {
  // Once its lines have programs, Fib runs compiled: its calls inside run no programs then.
  const std::uint64_t before = NumericPrograms::RunCount() + CompiledCallCount();
  EXPECT_EQ(Run({u"s = 0"_s, u"FOR i = 1,200"_s, u"  s = s + Fib(i % 9)"_s, u"stop"_s, u"function Fib(_n)"_s,
                 u"  IF _n < 2"_s, u"    return _n"_s, u"  return Fib(_n - 1) + Fib(_n - 2)"_s}),
            QString());
  EXPECT_EQ(Value(u"s"_s), u"1190"_s);
  EXPECT_GT(NumericPrograms::RunCount() + CompiledCallCount() - before, 150u);
}

TEST_F(CallsInPrograms, VariablesAreReadBeforeTheCalls) {
  // Bump changes g; the line reads g before calling, wherever g stands.
  EXPECT_EQ(Run({u"g = 0"_s, u"FOR i = 1,4"_s, u"  s = Bump() + g"_s, u"  t = g * 1000 + Bump()"_s,
                 u"stop"_s, u"function Bump()"_s, u"  g = g + 1"_s, u"  return g * 10"_s}),
            QString());
  EXPECT_EQ(Value(u"g"_s), u"8"_s);
  EXPECT_EQ(Value(u"s"_s), u"76"_s);    // 70 + 6
  EXPECT_EQ(Value(u"t"_s), u"7080"_s);  // 7 * 1000 + 80
}

TEST_F(CallsInPrograms, ResultsOfAnotherKindAreNotCalledAgain) {
  // On the third pass both calls return texts: the sum becomes a joined text, each call made once.
  EXPECT_EQ(Run(QStringList{u"n = 0"_s, u"FOR i = 1,3"_s, u"  r = F(i) + G(i)"_s, u"stop"_s} + kCounted),
            QString());
  EXPECT_EQ(Value(u"r"_s), u"ab"_s);
  EXPECT_EQ(Value(u"n"_s), u"6"_s);
}

TEST_F(CallsInPrograms, FailingOperationAfterTheCallsReportsOnce) {
  // What the line reports when it fails on its first pass, without a program.
  const QString firstPass = Run(QStringList{u"n = 0"_s, u"FOR i = 2,3"_s, u"  r = 6 / (G(i) - 1) + F(i)"_s,
                                            u"stop"_s} + kCounted);
  EXPECT_FALSE(firstPass.isEmpty());
  // G(2) gives 1: on the second pass the division fails after both calls were made.
  EXPECT_EQ(Run(QStringList{u"n = 0"_s, u"FOR i = 1,3"_s, u"  r = 6 / (G(i) - 1) + F(i)"_s, u"stop"_s} +
                kCounted),
            firstPass);
  EXPECT_EQ(Value(u"n"_s), u"4"_s);
  EXPECT_EQ(Value(u"r"_s), u"16"_s);
}

TEST_F(CallsInPrograms, BreakpointInsideACallHaltsAndTheLineCompletesOnce) {
  Load(QStringList{u"n = 0"_s, u"FOR i = 1,2"_s, u"  r = G(i - 1) + F(i)"_s, u"stop"_s} + kCounted);
  host.breakpoints = {8};  // "  return _a * 10" of F
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(Engine().CurrentLine, 8);
  A_Continue_runExecute(RunInitiator::Continue);  // the first pass ends, the second halts
  EXPECT_EQ(Engine().CurrentLine, 8);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  EXPECT_EQ(Value(u"r"_s), u"13"_s);  // G(0) + F(1)
  EXPECT_EQ(Value(u"n"_s), u"4"_s);
  host.breakpoints.clear();
  A_Continue_runExecute(RunInitiator::Continue);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"r"_s), u"22"_s);  // G(1) + F(2)
  EXPECT_EQ(Value(u"n"_s), u"4"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
}
