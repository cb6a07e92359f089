// Faults a new user meets in the first minutes: stepping through calls made from RETURN lines,
// scripts without a main part, TRY around calls, arrays handed back by functions, initial-value
// lists, integer ranges and deep nesting.
#include <QElapsedTimer>

#include "engine/arrays.h"
#include "engine/evaluator.h"
#include "engine/local_texts.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using FirstUse = ScriptTest;

// Texts compared as UTF-8, so that a failure prints them readably.
std::string U8(const QString& text) { return text.toStdString(); }

void Step() { A_StepExecute(RunInitiator::Step); }

// Steps until the run is back on the main level after line `line` ran, at most `limit` steps.
int StepsUntilMainLine(int line, int limit = 50) {
  for (int k = 1; k <= limit; ++k) {
    Step();
    if (Engine().FunctionLevel == 0 && Engine().CurrentLine > line) return k;
  }
  return -1;
}

const QStringList kOuterInner = {u"r = Outer(2)"_s,        u"s = r"_s,          u"stop"_s,
                                 u"function Outer(_a)"_s,  u"  return Inner(_a) + 1"_s,
                                 u"function Inner(_b)"_s,  u"  _c = _b * 10"_s, u"  return _c"_s};

}  // namespace

TEST_F(FirstUse, SteppingIntoACallMadeByAReturnLineKeepsTheCallersLocals) {
  Load(kOuterInner);
  Step();  // into Outer
  EXPECT_EQ(Engine().CurrentLine, 4);
  Step();  // the RETURN line calls Inner: into Inner, Outer's _a stays
  EXPECT_EQ(Engine().CurrentLine, 6);
  EXPECT_EQ(Engine().FunctionLevel, 2);
  EXPECT_EQ(U8(Value(u"_b"_s)), U8(u"2"_s));
  Step();
  Step();  // Inner returns; Outer's RETURN completes and hands its value to line 0
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(U8(Value(u"r"_s)), U8(u"21"_s));
  EXPECT_EQ(Engine().FunctionLevel, 0);
  EXPECT_EQ(Engine().BlockDepth, 0);
  EXPECT_EQ(Engine().CurrentLine, 1);
  EXPECT_EQ(Engine().Variables.size(), 1u);  // no local left behind

  // A breakpoint inside Inner, reached by Start, then Continue.
  host.breakpoints = {7};
  Load(kOuterInner);
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(Engine().CurrentLine, 7);
  A_Continue_runExecute();
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(U8(Value(u"s"_s)), U8(u"21"_s));
}

TEST_F(FirstUse, RecursionSteppedThroughReturnLines) {
  Load({u"f = Factorial(4)"_s, u"stop"_s, u"function Factorial(_n)"_s, u"  if _n <= 1"_s,
        u"    return 1"_s, u"  return _n * Factorial(_n - 1)"_s});
  EXPECT_GT(StepsUntilMainLine(0), 0);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(U8(Value(u"f"_s)), U8(u"24"_s));
  EXPECT_EQ(Engine().Variables.size(), 1u);
}

TEST_F(FirstUse, SteppingTwoCallsOnOneLineFinishesTheLine) {
  // Each call is stepped into once; a value delivered earlier is not asked for again.
  Load({u"s = One(1) + Two(2)"_s, u"t = s"_s, u"stop"_s, u"function One(_a)"_s,
        u"  return _a * 10"_s, u"function Two(_b)"_s, u"  return _b * 100"_s});
  EXPECT_EQ(StepsUntilMainLine(0), 3);  // into One, into Two, back on line 1
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(U8(Value(u"s"_s)), U8(u"210"_s));
}

// Every statement that evaluates an expression waits for a call it steps into, and completes
// with the returned value.
TEST_F(FirstUse, StatementsWaitForTheCallsTheyStepInto) {
  const QStringList functions = {u"stop"_s, u"function Two()"_s, u"  _t = 2"_s, u"  return _t"_s};
  const struct {
    QStringList main;
    const char* variable;
    const char* value;
  } cases[] = {
      {{u"if Two() = 2"_s, u"  ok = 1"_s}, "ok", "1"},
      {{u"s = 0"_s, u"for i = 1, Two()"_s, u"  s = s + i"_s}, "s", "3"},
      {{u"s = 0"_s, u"repeat"_s, u"  s = s + 1"_s, u"  breakif s >= Two()"_s}, "s", "2"},
      {{u"array A[2]float=(Two(), 5)"_s, u"v = A[1] + A[2]"_s}, "v", "7"},
      {{u"array A[2]float"_s, u"A[2] = Two() * 10"_s, u"v = A[2]"_s}, "v", "20"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U8(c.main.join(u'|')));
    host.errors.clear();
    Load(c.main + functions);
    const int lastMainLine = int(c.main.size()) - 1;
    int steps = 0;
    while (host.errors.isEmpty() && ++steps < 40 && Engine().CurrentLine != lastMainLine + 1) Step();
    EXPECT_TRUE(host.errors.isEmpty()) << U8(host.errors.join(u'|'));
    EXPECT_EQ(U8(Value(QString::fromLatin1(c.variable))), c.value);

    // The same with a breakpoint inside the function, then Continue.
    host.errors.clear();
    host.breakpoints = {lastMainLine + 4};
    Load(c.main + functions);
    A_StartExecute(RunInitiator::Start);
    EXPECT_EQ(Engine().CurrentLine, lastMainLine + 4);
    host.breakpoints.clear();
    A_Continue_runExecute();
    EXPECT_TRUE(host.errors.isEmpty()) << U8(host.errors.join(u'|'));
    EXPECT_EQ(U8(Value(QString::fromLatin1(c.variable))), c.value);
  }
}

TEST_F(FirstUse, StepOverOnAReturnLineReturns) {
  const QStringList twice = {u"a = 2"_s,          u"s = Twice(a) + 1"_s, u"t = s"_s, u"stop"_s,
                             u"function Twice(_x)"_s, u"  _y = _x * 2"_s,   u"  return _y"_s};
  Load(twice);
  Step();
  Step();  // into Twice
  Step();
  EXPECT_EQ(Engine().CurrentLine, 6);
  A_StepOverExecute();
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(U8(Value(u"s"_s)), U8(u"5"_s));
  EXPECT_EQ(Engine().FunctionLevel, 0);

  // The same return reached through a breakpoint, and a recursive RETURN line stepped over.
  host.breakpoints = {6};
  Load(twice);
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(Engine().CurrentLine, 6);
  A_StepOverExecute();
  EXPECT_TRUE(host.errors.isEmpty()) << U8(host.errors.join(u'|'));
  EXPECT_EQ(U8(Value(u"s"_s)), "5");
  EXPECT_EQ(Engine().CurrentLine, 2);
  host.breakpoints = {5};
  Load({u"f = Factorial(3)"_s, u"g = f"_s, u"stop"_s, u"function Factorial(_n)"_s, u"  if _n <= 1"_s,
        u"    return 1"_s, u"  return _n * Factorial(_n - 1)"_s});
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(Engine().CurrentLine, 5);
  host.breakpoints.clear();
  A_StepOverExecute();
  A_StepOverExecute();
  A_StepOverExecute();
  EXPECT_TRUE(host.errors.isEmpty()) << U8(host.errors.join(u'|'));
  EXPECT_EQ(U8(Value(u"f"_s)), "6");
  host.breakpoints.clear();

  // A call statement of a function that returns nothing, left with Step over.
  Load({u"Show(1)"_s, u"t = 1"_s, u"stop"_s, u"function Show(_m)"_s, u"  _n = _m"_s, u"  return"_s});
  Step();
  Step();
  A_StepOverExecute();
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Engine().FunctionLevel, 0);
  EXPECT_EQ(Engine().CurrentLine, 1);
}

TEST_F(FirstUse, BlankScriptsEndAtOnce) {
  for (const QStringList& lines : {QStringList{u""_s}, QStringList{u"   "_s, u""_s, u""_s},
                                   QStringList{u"# only a comment"_s}}) {
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(U8(Run(lines)), U8(QString()));
    EXPECT_EQ(Engine().RunMode, rmIdle);
    EXPECT_LT(timer.elapsed(), 5000);
  }
}

TEST_F(FirstUse, MainPartAlwaysEndsBeforeTheFirstDefinition) {
  EXPECT_EQ(U8(Run({u"r = F(2)"_s, u"function F(_a)"_s, u"  return _a * 3"_s})), U8(QString()));
  EXPECT_EQ(U8(Value(u"r"_s)), U8(u"6"_s));
  EXPECT_EQ(U8(Engine().ScriptLines[1]), U8(u"stop"_s));
  // Definitions only: nothing runs.
  EXPECT_EQ(U8(Run({u"function F(_a)"_s, u"  return _a * 3"_s})), U8(QString()));
  EXPECT_EQ(U8(Engine().ScriptLines[0]), "stop");
  EXPECT_EQ(Engine().CurrentLine, 0);
}

TEST_F(FirstUse, TryProtectsALineThatCallsAFunction) {
  EXPECT_EQ(U8(Run({u"TRY r = F(1) / 0"_s, u"t = 1"_s, u"stop"_s, u"function F(_a)"_s, u"  _b = _a + 1"_s,
                 u"  return _b"_s})),
            U8(QString()));
  EXPECT_EQ(U8(Value(u"t"_s)), U8(u"1"_s));
  EXPECT_EQ(U8(Value(u"r"_s)), U8(u"0"_s));
  EXPECT_TRUE(Value(u"Error"_s).endsWith(u" Line=0"_s)) << Value(u"Error"_s).toStdString();
  // The TRY of the calling line does not cover the lines of the body.
  EXPECT_EQ(U8(Run({u"TRY r = F(1)"_s, u"stop"_s, u"function F(_a)"_s, u"  _b = _a / nothing"_s,
                 u"  return _b"_s})),
            U8(ErrorAt(3, 76, {u"nothing"_s})));
}

TEST_F(FirstUse, ReturningAGlobalArrayHandsBackACopy) {
  EXPECT_EQ(U8(Run({u"array G[2]float=(1, 2)"_s, u"R = Give()"_s, u"R[1] = 9"_s, u"a = G[1]"_s,
                 u"b = R[1] + R[2]"_s, u"stop"_s, u"function Give()"_s, u"  return G"_s})),
            U8(QString()));
  EXPECT_EQ(U8(Value(u"a"_s)), U8(u"1"_s));
  EXPECT_EQ(U8(Value(u"b"_s)), U8(u"11"_s));
  // An array taken by var and returned is a copy too.
  EXPECT_EQ(U8(Run({u"array G[2]int=(1, 2)"_s, u"R = Pass(G)"_s, u"R[2] = 7"_s, u"a = G[2]"_s, u"stop"_s,
                 u"function Pass(var _A)"_s, u"  return _A"_s})),
            U8(QString()));
  EXPECT_EQ(U8(Value(u"a"_s)), U8(u"2"_s));
}

TEST_F(FirstUse, InitialValueListsEvaluateCalls) {
  EXPECT_EQ(U8(Run({u"array A[3]float=(Twice(1), 1, Twice(2.5))"_s, u"v1 = A[1]"_s, u"v3 = A[3]"_s,
                    u"array S[2]string=(Tag('x'), 'y')"_s, u"t1 = S[1]"_s, u"stop"_s,
                    u"function Twice(_v)"_s, u"  return _v * 2"_s, u"function Tag(_t)"_s,
                    u"  return _t + '!'"_s})),
            U8(QString()));
  EXPECT_EQ(U8(Value(u"v1"_s)), U8(u"2"_s));
  EXPECT_EQ(U8(Value(u"v3"_s)), U8(u"5"_s));
  EXPECT_EQ(U8(Value(u"t1"_s)), U8(u"x!"_s));
  EXPECT_EQ(U8(Run({u"array A[2]float=(PI, nothing)"_s})), U8(ErrorAt(0, 76, {u"nothing"_s})));
}

TEST_F(FirstUse, IntegerElementsRefuseValuesOutsideTheirRange) {
  const auto outOfRange = [](int line, const QString& value, const QString& array) {
    return LocalText(LocalTextId::IntegerOutOfRange, {value, array}) + u"\r\r"_s + MessageText(2, {line});
  };
  EXPECT_EQ(U8(Run({u"array I[2]int=(1, 2)"_s, u"I[1] = 1e19"_s})), U8(outOfRange(1, u"1E19"_s, u"I"_s)));
  EXPECT_EQ(Engine().Array(FindArray(u"I")).P->ints[0], 1);  // unchanged
  EXPECT_EQ(U8(Run({u"array I[2]int=(1, 2)"_s, u"I[2] = -1e300"_s})), U8(outOfRange(1, u"-1E300"_s, u"I"_s)));
  EXPECT_EQ(U8(Run({u"array J[2]int=(1, 9.3e18)"_s})), U8(outOfRange(0, u"9.3E18"_s, u"J"_s)));
  // The largest values that fit are kept exactly.
  EXPECT_EQ(U8(Run({u"array K[2]int=(-9223372036854775808, 9e18)"_s, u"a = K[1]"_s, u"b = K[2]"_s})), U8(QString()));
  EXPECT_EQ(U8(Value(u"a"_s)), U8(u"-9.22337203685478E18"_s));
  EXPECT_EQ(U8(Value(u"b"_s)), U8(u"9E18"_s));
}

TEST_F(FirstUse, EveryDeclarationHonoursTheElementLimit) {
  EXPECT_EQ(U8(Run({u"array A[100000002]int"_s})), U8(ErrorAt(0, 146, {u"A"_s})));
  EXPECT_EQ(U8(Run({u"array A[10001, 10001]float"_s})), U8(ErrorAt(0, 146, {u"A"_s})));
  EXPECT_EQ(U8(Run({u"array A[1e300]float"_s})), U8(ErrorAt(0, 146, {u"A"_s})));
  EXPECT_EQ(U8(Run({u"array A[-1e300..2]float"_s})), U8(ErrorAt(0, 146, {u"A"_s})));
  EXPECT_EQ(U8(Run({u"n = 1e300"_s, u"array A[2, n]float"_s})), U8(ErrorAt(1, 146, {u"A"_s})));
}

TEST_F(FirstUse, IndexOnePastTheLastOfADimensionIsOutOfRange) {
  const QStringList declared = {u"array M[2, 3]int=((1, 2, 3), (4, 5, 6))"_s};
  EXPECT_EQ(U8(Run(declared + QStringList{u"a = M[1, 4]"_s})), U8(ErrorAt(1, 153, {u"M"_s})));
  EXPECT_EQ(U8(Run(declared + QStringList{u"M[1, 4] = 0"_s})), U8(ErrorAt(1, 153, {u"M"_s})));
  EXPECT_EQ(U8(Run(declared + QStringList{u"a = M[3, 1]"_s})), U8(ErrorAt(1, 153, {u"M"_s})));
  EXPECT_EQ(U8(Run(declared + QStringList{u"a = M[2, 3]"_s})), U8(QString()));
  EXPECT_EQ(U8(Value(u"a"_s)), U8(u"6"_s));
}

TEST_F(FirstUse, CachedWordsOfOneFunctionLevelAreNotServedToAnother) {
  // Level 1 reads _k on line 6 and calls F again; level 2 has no _k and creates nothing
  // before it reads the same line.
  EXPECT_EQ(U8(Run({u"g = 0"_s, u"r = F()"_s, u"stop"_s, u"function F()"_s, u"  g = g + 1"_s,
                 u"  if g = 1"_s, u"    _k = 1"_s, u"  _x = _k + F()"_s, u"  return _x"_s})),
            U8(ErrorAt(7, 76, {u"_k"_s})));
}

// Units declare result arrays through the engine, with the limits of a declaration.
TEST_F(FirstUse, UnitsDeclareArraysWithTheLimitsOfADeclaration) {
  TWordStatus one, two;
  SetNumber(one, 1.5);
  SetNumber(two, 2);
  const int index = DeclareArrayOf(u"Made"_s, {2, 2}, wkFloat, {one, two});
  ASSERT_GT(index, 0);
  EXPECT_EQ(U8(ArrayValueText(index)), "((1.5,2)(0,0))");
  EXPECT_EQ(DeclareArrayOf(u"Big"_s, {10001, 10001}, wkFloat), 0);
  EXPECT_EQ(U8(Engine().ErrorText.section(u'\r', 0, 0)), U8(MessageText(146, {u"Big"_s})));
  Engine().ErrorText.clear();
  EXPECT_EQ(DeclareArrayOf(u"Five"_s, {1, 1, 1, 1, 1}, wkInt), 0);
  EXPECT_EQ(U8(Engine().ErrorText.section(u'\r', 0, 0)), U8(MessageText(145, {u"Five"_s})));
}
