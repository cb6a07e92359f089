// Script functions: calls, parameters, return values, scopes and stepping through bodies.
#include "engine/local_texts.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using ScriptFunctions = ScriptTest;

bool HasTemporaryArray() {
  for (const t_arr_specification& a : Engine().Arrays)
    if (a.name.startsWith(u"tARR"_s, Qt::CaseInsensitive)) return true;
  return false;
}

QString ElementText(const QString& array, int offset) {
  const int i = FindArray(array);
  if (i == 0) return u"<no array>"_s;
  return QString::number(Engine().Array(i).P->floats[std::size_t(offset)]);
}

}  // namespace

TEST_F(ScriptFunctions, ValueParametersAndResult) {
  EXPECT_EQ(Run({u"S = Sum(1,2+3)"_s, u"T = sum( S , -1 )"_s, u"array M[2,2]float=((1,2),(3,4))"_s,
                 u"U = Sum(M[2,1], M[1,2]) * 10"_s, u"stop"_s, u"function Sum(_x,_y)"_s,
                 u"  return _x + _y"_s}),
            QString());
  EXPECT_EQ(Value(u"S"_s), u"6"_s);
  EXPECT_EQ(Value(u"T"_s), u"5"_s);
  EXPECT_EQ(Value(u"U"_s), u"50"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
  EXPECT_EQ(Engine().BlockDepth, 0);
}

// Computed whole numbers, literals written in other forms and fractions, on the first pass of
// the line and on the passes its programs make: the body sees each argument's own text.
TEST_F(ScriptFunctions, ParametersKeepTheTextsOfTheirArguments) {
  Load({u"FOR i = 1,3"_s, u"  r = W(i * 1000) + W(007) + W(0 * -1) + W(i - 4) + W(2.0) + W(i / 4)"_s, u"stop"_s,
        u"function W(_x)"_s, u"  _y = 0"_s, u"  return _x"_s});
  host.breakpoints = {5};
  QStringList seen;
  A_StartExecute(RunInitiator::Start);
  while (Engine().CurrentLine == 5 && seen.size() < 30) {
    seen.append(Value(u"_x"_s));
    A_Continue_runExecute(RunInitiator::Continue);
  }
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(seen.join(u' '), u"1000 007 0 -3 2.0 0.25 2000 007 0 -2 2.0 0.5 3000 007 0 -1 2.0 0.75"_s);
  EXPECT_EQ(Value(u"r"_s), u"3008.75"_s);
}

TEST_F(ScriptFunctions, VarParameterIsWrittenBack) {
  EXPECT_EQ(
      Run({u"p = 0"_s, u"a = 3"_s, u"Perimeter(a, 4, p)"_s, u"stop"_s,
           u"function Perimeter(_a, _b, VAR _Perimeter)"_s, u"  _a = 100"_s,
           u"  _Perimeter = 2 * (_b + 3)"_s, u"  _Perimeter = _Perimeter + 0.5"_s, u"  return"_s}),
      QString());
  EXPECT_EQ(Value(u"p"_s), u"14.5"_s);  // the final value of the parameter
  EXPECT_EQ(Value(u"a"_s), u"3"_s);     // a value parameter is a copy
}

TEST_F(ScriptFunctions, CallErrorsAreReportedOnTheCallingLine) {
  const QStringList body = {u"stop"_s, u"function F(_a, var _b)"_s, u"  return 1"_s};
  struct Case {
    const char16_t* call;
    int message;
    QString argument;
  } cases[] = {
      {u"x = F(1, p + 1)", 128, u"f"_s},  // an expression passed to a var parameter
      {u"x = F(1, 2)", 128, u"f"_s},      // a literal as well
      {u"x = F(1, p, 3)", 51, {}},
      {u"x = F(1)", 51, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.call).toStdString());
    host.errors.clear();
    const QString expected =
        c.argument.isEmpty() ? ErrorAt(1, c.message) : ErrorAt(1, c.message, {c.argument});
    EXPECT_EQ(Run(QStringList{u"p = 1"_s, QString::fromUtf16(c.call)} + body), expected);
    EXPECT_EQ(Value(u"x"_s), QString());
  }
}

TEST_F(ScriptFunctions, FormalParameterMustBeLocalName) {
  EXPECT_EQ(Run({u"x = F(1)"_s, u"stop"_s, u"function F(a)"_s, u"  return a"_s}),
            ErrorAt(0, 126, {u"a"_s}));
}

// A formal named twice (in any case, also past the eighth) is an error of the definition.
TEST_F(ScriptFunctions, FormalNamedTwice) {
  const struct {
    const char16_t* header;
    const char16_t* call;
    bool error;
  } cases[] = {
      {u"function F(_a, _a)", u"x = F(1, 2)", true},
      {u"function F(_a, _b, _A)", u"x = F(1, 2, 3)", true},
      {u"function F(_1, _2, _3, _4, _5, _6, _7, _8, _9, _3)", u"x = F(1, 2, 3, 4, 5, 6, 7, 8, 9, 10)", true},
      {u"function F(_1, _2, _3, _4, _5, _6, _7, _8, _9, _a)", u"x = F(1, 2, 3, 4, 5, 6, 7, 8, 9, 10)", false},
      {u"function F(_a, _b)", u"x = F(1, 2)", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.header).toStdString());
    host.errors.clear();
    const QString error = Run({QString::fromUtf16(c.call), u"stop"_s, QString::fromUtf16(c.header), u"  return 7"_s});
    EXPECT_EQ(error, c.error ? ErrorAt(0, 128, {u"f"_s}) : QString());
    EXPECT_EQ(Value(u"x"_s), c.error ? QString() : u"7"_s);
  }
}

TEST_F(ScriptFunctions, RecursionGivesEachCallItsOwnLocals) {
  EXPECT_EQ(Run({u"r = Fact(6)"_s, u"stop"_s, u"function Fact(_n)"_s, u"  _keep = _n"_s,
                 u"  IF _n <= 1"_s, u"    return 1"_s, u"  _r = Fact(_n - 1)"_s,
                 u"  return _keep * _r"_s}),
            QString());
  EXPECT_EQ(Value(u"r"_s), u"720"_s);
  EXPECT_EQ(Engine().BlockDepth, 0);
  EXPECT_EQ(Engine().FunctionLevel, 0);
}

TEST_F(ScriptFunctions, LocalsAreRemovedAtReturn) {
  EXPECT_EQ(Run({u"r = F(2)"_s, u"stop"_s, u"function F(_a)"_s, u"  _b = _a * 2"_s,
                 u"  array _arr[3]float"_s, u"  return _b"_s}),
            QString());
  EXPECT_EQ(Value(u"r"_s), u"4"_s);
  ASSERT_EQ(Engine().Variables.size(), 1u);  // only r
  for (const t_arr_specification& a : Engine().Arrays) EXPECT_NE(a.name, u"_arr"_s);
  EXPECT_TRUE(LocalViewRows(true).isEmpty());
}

TEST_F(ScriptFunctions, CallersLocalsAreInvisibleInTheCallee) {
  EXPECT_EQ(Run({u"r = Outer(1)"_s, u"stop"_s, u"function Outer(_a)"_s, u"  _b = 5"_s,
                 u"  return Inner(2)"_s, u"function Inner(_c)"_s, u"  return _b + _c"_s, u""_s}),
            ErrorAt(6, 76, {u"_b"_s}));
}

TEST_F(ScriptFunctions, GlobalsInsideAFunction) {
  const QStringList functions = {u"stop"_s, u"function F(_a)"_s, u"  g = g + _a"_s,
                                 u"  return g"_s};
  EXPECT_EQ(Run(QStringList{u"g = 10"_s, u"r = F(5)"_s} + functions), QString());
  EXPECT_EQ(Value(u"g"_s), u"15"_s);
  EXPECT_EQ(Value(u"r"_s), u"15"_s);

  host.errors.clear();  // reading a global that does not exist
  EXPECT_EQ(Run(QStringList{u"x = 0"_s, u"r = F(5)"_s} + functions), ErrorAt(4, 76, {u"g"_s}));

  host.errors.clear();  // creating a global inside a function
  EXPECT_EQ(Run({u"r = F(5)"_s, u"stop"_s, u"function F(_a)"_s, u"  h = _a"_s, u"  return 0"_s}),
            ErrorAt(3, 131, {u"h"_s}));
  EXPECT_EQ(FindVariable(u"h"), -1);
}

TEST_F(ScriptFunctions, ReturnedLocalArrayIsTakenOverByTheTarget) {
  EXPECT_EQ(Run({u"array K[1]string"_s, u"M = Make(3)"_s, u"n = M[2]"_s, u"Make(2)"_s,
                 u"K = Make(4)"_s, u"stop"_s, u"function Make(_n)"_s, u"  array _tmp[2]float"_s,
                 u"  array _r[_n]float"_s, u"  _r[2] = 7"_s, u"  return _r"_s}),
            QString());
  EXPECT_EQ(Value(u"n"_s), u"7"_s);
  const int m = FindArray(u"M");
  ASSERT_GT(m, 0);
  EXPECT_EQ(Engine().Array(m).count, 3);
  EXPECT_EQ(Engine().Array(m).function_level, 0);
  const int k = FindArray(u"K");
  ASSERT_GT(k, 0);
  EXPECT_EQ(Engine().Array(k).count, 4);
  EXPECT_EQ(Engine().Array(k).data_type, wkFloat);
  EXPECT_EQ(Engine().ArrayCount(), 2);  // _tmp, _r and the unused result of line 3 are gone
  EXPECT_FALSE(HasTemporaryArray());
}

TEST_F(ScriptFunctions, ArrayArgumentsByValueAndByVar) {
  EXPECT_EQ(Run({u"array A[2]float=(1,2)"_s, u"x = ByVal(A)"_s, u"v1 = A[1]"_s, u"y = ByRef(A)"_s,
                 u"v2 = A[1]"_s, u"stop"_s, u"function ByVal(_a)"_s, u"  _a[1] = 10"_s,
                 u"  return _a[1]"_s, u"function ByRef(var _a)"_s, u"  _a[1] = 20"_s,
                 u"  return _a[2]"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"10"_s);
  EXPECT_EQ(Value(u"v1"_s), u"1"_s);
  EXPECT_EQ(Value(u"y"_s), u"2"_s);
  EXPECT_EQ(Value(u"v2"_s), u"20"_s);
  EXPECT_EQ(ElementText(u"A"_s, 0), u"20"_s);  // the alias did not take the storage with it
  EXPECT_EQ(Engine().ArrayCount(), 1);
}

TEST_F(ScriptFunctions, UnknownDefinitionIsMessage50) {
  // A name is classified as a script function only when listed; the lookup of the header
  // then matches whole names.
  const struct {
    QStringList lines;
    const char16_t* listed;
  } cases[] = {
      {{u"x = F(1)"_s, u"stop"_s, u"function MyF(_a)"_s, u"  return _a"_s}, u"F"},
      {{u"x = Ghost(1)"_s, u"stop"_s, u"function F(_a)"_s, u"  return _a"_s}, u"GHOST"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.first().toStdString());
    host.errors.clear();
    Load(c.lines);
    Engine().ScriptFunctionNames.append(QString::fromUtf16(c.listed));
    NamesChanged();
    A_StartExecute();
    ASSERT_EQ(host.errors.size(), 1);
    EXPECT_EQ(host.errors[0], ErrorAt(0, 50, {QString::fromUtf16(c.listed).toLower()}));
  }
}

TEST_F(ScriptFunctions, BodyWithoutReturnIsMessage69) {
  const struct {
    QStringList lines;
    int lastBodyLine;
  } cases[] = {
      {{u"x = F(1)"_s, u"stop"_s, u"function F(_a)"_s, u"  _b = _a"_s, u"function G(_a)"_s,
        u"  return _a"_s},
       3},
      {{u"x = F(1)"_s, u"stop"_s, u"function F(_a)"_s, u"  _b = _a"_s, u"  _c = _b"_s}, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lastBodyLine);
    host.errors.clear();
    EXPECT_EQ(Run(c.lines), ErrorAt(c.lastBodyLine, 69, {u"Script Function"_s}));
  }
}

TEST_F(ScriptFunctions, ReturnOutsideAFunctionIsMessage127) {
  EXPECT_EQ(Run({u"x = 1"_s, u"return x"_s, u"y = 2"_s}), ErrorAt(1, 127));
  EXPECT_EQ(Value(u"y"_s), QString());
}

TEST_F(ScriptFunctions, RunawayRecursionStopsWithAnError) {
  EXPECT_EQ(
      Run({u"r = Down(1)"_s, u"stop"_s, u"function Down(_n)"_s, u"  return Down(_n + 1)"_s, u""_s}),
      LocalText(LocalTextId::BlockStackFull) + u"\r\r"_s + MessageText(2, {3}));
  EXPECT_EQ(Engine().RunMode, rmIdle);
  EXPECT_LE(Engine().BlockDepth, kMaxBlockDepth);
  EXPECT_EQ(Value(u"r"_s), QString());

  // A new run starts from a clean stack.
  host.errors.clear();
  EXPECT_EQ(Run({u"r = Sq(3)"_s, u"stop"_s, u"function Sq(_n)"_s, u"  return _n * _n"_s}),
            QString());
  EXPECT_EQ(Value(u"r"_s), u"9"_s);
}

TEST_F(ScriptFunctions, SteppingEntersTheBodyAndCompletesTheCallingLine) {
  Load({u"a = 2"_s, u"s = Twice(a) + 1"_s, u"t = s"_s, u"stop"_s, u"function Twice(_x)"_s,
        u"  _y = _x * 2"_s, u"  return _y"_s});
  const auto step = [] { A_StepExecute(RunInitiator::Step); };
  step();
  step();  // the call line: the body is entered, nothing is assigned yet
  EXPECT_EQ(Engine().CurrentLine, 5);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  EXPECT_EQ(Engine().BlockDepth, 1);
  EXPECT_EQ(Value(u"s"_s), QString());
  EXPECT_EQ(Value(u"_x"_s), u"2"_s);
  step();
  EXPECT_EQ(Engine().CurrentLine, 6);
  step();  // RETURN: the calling line runs again and takes the value
  EXPECT_EQ(Engine().FunctionLevel, 0);
  EXPECT_EQ(Engine().BlockDepth, 0);
  EXPECT_EQ(Value(u"s"_s), u"5"_s);
  EXPECT_EQ(Engine().CurrentLine, 2);
  EXPECT_EQ(FindVariable(u"_y"), -1);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(ScriptFunctions, SteppingACallStatementStaysInTheBody) {
  Load({u"g = 0"_s, u"Bump(3)"_s, u"h = g"_s, u"stop"_s, u"function Bump(_n)"_s, u"  g = g + _n"_s,
        u"  return"_s});
  for (int i = 0; i < 2; ++i) A_StepExecute(RunInitiator::Step);
  EXPECT_EQ(Engine().CurrentLine, 5);
  A_StepExecute(RunInitiator::Step);
  A_StepExecute(RunInitiator::Step);
  EXPECT_EQ(Engine().CurrentLine, 2);  // after the call line, which is not run a second time
  EXPECT_EQ(Value(u"g"_s), u"3"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(ScriptFunctions, SteppingTwoCallsOnOneLineEntersEachBody) {
  Load({u"s = One(1) + Two(2)"_s, u"stop"_s, u"function One(_a)"_s, u"  return _a * 10"_s,
        u"function Two(_b)"_s, u"  return _b * 100"_s});
  A_StepExecute(RunInitiator::Step);
  EXPECT_EQ(Engine().CurrentLine, 3);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  A_StepExecute(RunInitiator::Step);  // One returns; the line goes on into Two
  EXPECT_EQ(Engine().CurrentLine, 5);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  EXPECT_EQ(Engine().BlockDepth, 1);
  EXPECT_EQ(Engine().Blocks[1].FunctionExpression, u"Two(2)"_s);
  EXPECT_EQ(Value(u"s"_s), QString());
  EXPECT_TRUE(host.errors.isEmpty());
}

// The run loop asks for a breakpoint after each line, about the next one; the first line of a
// body must be asked about when the call enters it. A RETURN line there used to run before the
// halt, and Continue then ran it a second time ("Incorrect exit"); other lines ran unhalted.
TEST_F(ScriptFunctions, BreakpointOnTheFirstLineOfABodyHaltsBeforeIt) {
  Load({u"r = W(5)"_s, u"s = D(r)"_s, u"stop"_s, u"function W(_x)"_s, u"  return _x"_s, u"function D(_a)"_s,
        u"  _b = _a * 2"_s, u"  return _b"_s});
  host.breakpoints = {4, 6};
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(Engine().CurrentLine, 4);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  EXPECT_EQ(Engine().Blocks[std::size_t(Engine().BlockDepth)].pt, pt_ScriptFunction);
  EXPECT_EQ(Value(u"_x"_s), u"5"_s);
  EXPECT_EQ(FindVariable(u"r"), -1);
  A_Continue_runExecute(RunInitiator::Continue);
  EXPECT_EQ(Engine().CurrentLine, 6);
  EXPECT_EQ(Value(u"r"_s), u"5"_s);
  EXPECT_EQ(FindVariable(u"_b"), -1);  // not run yet
  A_Continue_runExecute(RunInitiator::Continue);
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"s"_s), u"10"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
  EXPECT_EQ(Engine().BlockDepth, 0);
}
