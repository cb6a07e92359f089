// Run control: preparing a script, Start, Step, Step over, Continue, Pause, breakpoints, the
// error stop and the status panels.
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using RunControlTest = ScriptTest;

void Step() {
  A_StepExecute(RunInitiator::Step);
}

// Lines "v0 = 0" .. "v<n-1> = <n-1>".
QStringList NumberedLines(int n) {
  QStringList lines;
  for (int i = 0; i < n; ++i) lines << u"v%1 = %1"_s.arg(i);
  return lines;
}

}  // namespace

TEST_F(RunControlTest, PrepareScript) {
  const struct {
    QStringList in, out;
  } cases[] = {
      // trailing blank lines go; a single line gets a stop line
      {{u"x = 1"_s, u""_s, u"   "_s}, {u"x = 1"_s, u"stop"_s}},
      {{u"x = 1"_s, u"y = 2"_s}, {u"x = 1"_s, u"y = 2"_s, u"stop"_s}},
      {{u"stop"_s}, {u"stop"_s}},
      {{u""_s, u""_s}, {u""_s}},
      {{u"x = 1"_s, u"Stop # end"_s}, {u"x = 1"_s, u"Stop # end"_s}},
      // the stop line goes after the last line of code before the first function
      {{u"x = 1 # c"_s, u"y = 2"_s, u""_s, u"# note"_s, u"function F(_a)"_s, u"  return _a"_s},
       {u"x = 1 # c"_s, u"y = 2"_s, u"stop"_s, u""_s, u"# note"_s, u"function F(_a)"_s,
        u"  return _a"_s}},
      {{u"x = 1"_s, u"STOP"_s, u"function F(_a)"_s, u"  return _a"_s},
       {u"x = 1"_s, u"STOP"_s, u"function F(_a)"_s, u"  return _a"_s}},
      // a main program of one line, or none, is closed too
      {{u"function F(_a)"_s, u"  return _a"_s}, {u"stop"_s, u"function F(_a)"_s, u"  return _a"_s}},
      {{u"x = 1"_s, u"function F(_a)"_s, u"  return _a"_s},
       {u"x = 1"_s, u"stop"_s, u"function F(_a)"_s, u"  return _a"_s}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in.join(u'|').toStdString());
    Load(c.in);
    EXPECT_EQ(Engine().ScriptLines, c.out);
    EXPECT_EQ(Engine().LineIndent.size(), std::size_t(c.out.size()));
  }
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(RunControlTest, PrepareScriptListsFunctionsAndIndents) {
  Load({u"x = F(1)"_s, u"stop"_s, u"Function  MyF (_a) # first"_s, u"  return _a"_s, u""_s,
        u"  > + 1"_s, u"function g()"_s, u"  return 2"_s});
  EXPECT_EQ(Engine().ScriptFunctionNames, (QStringList{u"MYF"_s, u"G"_s}));
  EXPECT_EQ(Engine().ScriptFunctionHeaders,
            (QStringList{u"Function  MyF (_a) # first"_s, u"function g()"_s}));
  EXPECT_EQ(Engine().LineIndent, (std::vector<std::int32_t>{0, 0, 0, 2, -1, -1, 0, 2}));
}

TEST_F(RunControlTest, PrepareScriptLimitsTheLength) {
  QStringList lines(999, u"x = 1"_s);
  lines << u"stop"_s << u"y = 2"_s << u"y = 3"_s;
  Load(lines);
  ASSERT_EQ(host.errors.size(), 1);
  EXPECT_EQ(host.errors[0], MessageText(27, {1000}));
  ASSERT_EQ(Engine().ScriptLines.size(), 1000);
  EXPECT_EQ(Engine().ScriptLines.last(), u"stop"_s);
}

TEST_F(RunControlTest, RunEndsBeforeALineBeginningWithStop) {
  const QStringList cases[] = {
      {u"stop"_s, u"x = 1"_s},
      {u"  STOP # halt"_s, u"x = 1"_s},
      {u"stopper = 1"_s, u"x = 1"_s},  // begins with "stop": not executed by a run
      {u"a = 1"_s, u"stopper = 2"_s, u"x = 1"_s},
  };
  for (const QStringList& lines : cases) {
    SCOPED_TRACE(lines.join(u'|').toStdString());
    EXPECT_EQ(Run(lines), QString());
    EXPECT_EQ(Value(u"x"_s), QString());
    EXPECT_EQ(Value(u"stopper"_s), QString());
    EXPECT_EQ(Engine().CurrentLine, lines.size() - 2);
    EXPECT_EQ(Engine().RunMode, rmIdle);
  }
}

TEST_F(RunControlTest, StepExecutesALineBeginningWithStop) {
  Load({u"stopper = 5"_s, u"stop"_s, u"x = 1"_s});
  Step();
  EXPECT_EQ(Value(u"stopper"_s), u"5"_s);
  EXPECT_EQ(Engine().CurrentLine, 1);

  Step();  // the STOP statement runs and stays on its line
  EXPECT_EQ(Engine().StepCount, 1);
  EXPECT_EQ(Engine().CurrentLine, 1);
  EXPECT_EQ(Engine().RunMode, rmIdle);

  A_Continue_runExecute();  // Continue on a stop line ends at once
  EXPECT_EQ(Engine().CurrentLine, 1);
  EXPECT_EQ(Engine().StepCount, 0);
  EXPECT_EQ(Value(u"x"_s), QString());
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(RunControlTest, StopLineReachedAfterAStepEndsTheRun) {
  EXPECT_EQ(Run({u"a = 1"_s, u"IF a = 1"_s, u"  b = 2"_s, u"  stop ; wait here"_s, u"c = 3"_s}),
            QString());
  EXPECT_EQ(Value(u"b"_s), u"2"_s);
  EXPECT_EQ(Value(u"c"_s), QString());
  EXPECT_EQ(Engine().CurrentLine, 3);
  EXPECT_EQ(Engine().BlockDepth, 1);
}

TEST_F(RunControlTest, BreakpointsHaltBeforeTheirLine) {
  host.breakpoints = {2, 3};
  EXPECT_EQ(Run(NumberedLines(5)), QString());
  EXPECT_EQ(Value(u"v1"_s), u"1"_s);
  EXPECT_EQ(Value(u"v2"_s), QString());
  EXPECT_EQ(Engine().CurrentLine, 2);
  EXPECT_EQ(Engine().RunMode, rmIdle);

  A_Continue_runExecute();  // the breakpoint on the starting line does not hold the run
  EXPECT_EQ(Value(u"v2"_s), u"2"_s);
  EXPECT_EQ(Value(u"v3"_s), QString());
  EXPECT_EQ(Engine().CurrentLine, 3);

  host.breakpoints.clear();
  A_Continue_runExecute();
  EXPECT_EQ(Value(u"v4"_s), u"4"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(RunControlTest, BreakpointInsideAFunctionBodyHaltsThere) {
  host.breakpoints = {5};
  EXPECT_EQ(Run({u"r = F(2)"_s, u"s = 1"_s, u"stop"_s, u"function F(_a)"_s, u"  _b = _a + 1"_s,
                 u"  return _b"_s}),
            QString());
  EXPECT_EQ(Engine().CurrentLine, 5);
  EXPECT_EQ(Value(u"_b"_s), u"3"_s);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  EXPECT_EQ(Value(u"r"_s), QString());

  host.breakpoints.clear();
  A_Continue_runExecute();  // the return is completed by the stepper and the run goes on
  EXPECT_EQ(Value(u"r"_s), u"3"_s);
  EXPECT_EQ(Value(u"s"_s), u"1"_s);
  EXPECT_EQ(Engine().FunctionLevel, 0);
  EXPECT_EQ(Engine().BlockDepth, 0);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(RunControlTest, PauseLetsExactlyOneMoreLineRun) {
  QStringList lines;
  for (int i = 0; i < 8; ++i) lines << u"array A%1[1]float"_s.arg(i);
  for (const int checks : {0, 2}) {
    SCOPED_TRACE(checks);
    host.pauseAfterSteps = checks;
    host.stepsSeen = 0;
    EXPECT_EQ(Run(lines), QString());
    // the request is seen after line `checks`; one more line runs
    EXPECT_GT(FindArray(u"A%1"_s.arg(checks + 1)), 0);
    EXPECT_EQ(FindArray(u"A%1"_s.arg(checks + 2)), 0);
    EXPECT_EQ(Engine().CurrentLine, checks + 2);
    EXPECT_EQ(Engine().RunMode, rmIdle);
  }
}

TEST_F(RunControlTest, PauseBeforeAnAssignmentStillLetsItRun) {
  host.pauseAfterSteps = 0;
  EXPECT_EQ(Run({u"a = 1"_s, u"b = 2"_s, u"c = 3"_s}), QString());
  EXPECT_EQ(Value(u"b"_s), u"2"_s);  // the one more line after the pause
  EXPECT_EQ(FindVariable(u"c"), -1);
  EXPECT_EQ(Engine().CurrentLine, 2);
}

TEST_F(RunControlTest, StepOver) {
  Load({u"s = 0"_s, u"FOR i = 1,3"_s, u"  s = s + i"_s, u"t = Sq(3)"_s, u"u = 1"_s, u"w = 1"_s,
        u"stop"_s, u"function Sq(_n)"_s, u"  return _n * _n"_s});
  Step();
  A_StepOverExecute();  // the whole loop
  EXPECT_EQ(Value(u"s"_s), u"6"_s);
  EXPECT_EQ(Engine().CurrentLine, 3);
  EXPECT_EQ(Engine().BlockDepth, 0);
  EXPECT_EQ(Engine().RunMode, rmIdle);

  A_StepOverExecute();  // the whole function body
  EXPECT_EQ(Value(u"t"_s), u"9"_s);
  EXPECT_EQ(Engine().CurrentLine, 4);
  EXPECT_EQ(Engine().FunctionLevel, 0);

  A_StepOverExecute();  // a plain line: one step
  EXPECT_EQ(Value(u"u"_s), u"1"_s);
  EXPECT_EQ(Value(u"w"_s), QString());
  EXPECT_EQ(Engine().CurrentLine, 5);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(RunControlTest, StepOverInsideALoopBodyStopsOnTheNextLine) {
  Load({u"s = 0"_s, u"FOR i = 1,3"_s, u"  s = s + i"_s, u"  s = s * 10"_s, u"t = 1"_s});
  for (int k = 0; k < 2; ++k) Step();
  EXPECT_EQ(Engine().CurrentLine, 2);
  A_StepOverExecute();
  EXPECT_EQ(Engine().CurrentLine, 3);
  EXPECT_EQ(Value(u"s"_s), u"1"_s);
  A_StepOverExecute();  // the last body line: the loop goes on to its next pass
  EXPECT_EQ(Engine().CurrentLine, 2);
  EXPECT_EQ(Value(u"s"_s), u"10"_s);
  EXPECT_EQ(Value(u"i"_s), u"2"_s);
}

TEST_F(RunControlTest, ContinueFromALineOutsideTheOpenBlock) {
  Load({u"s = 0"_s, u"FOR i = 1,3"_s, u"  s = s + i"_s, u"t = 1"_s});
  Engine().CurrentLine = 2;  // moved into the loop body without entering the loop
  A_Continue_runExecute();
  ASSERT_EQ(host.errors.size(), 1);
  EXPECT_EQ(host.errors[0], ErrorAt(2, 52, {2}));
  EXPECT_EQ(Value(u"s"_s), QString());
  EXPECT_EQ(Engine().StepCount, 0);
  EXPECT_EQ(Engine().RunMode, rmIdle);
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
}

TEST_F(RunControlTest, ContinuePassesBlankAndCommentLines) {
  Load({u""_s, u"# comment"_s, u"a = 1"_s, u"b = 2"_s});
  A_Continue_runExecute();  // from the blank line 0: the indent is checked on line 2
  EXPECT_TRUE(host.errors.isEmpty());
  EXPECT_EQ(Value(u"a"_s), u"1"_s);
  EXPECT_EQ(Value(u"b"_s), u"2"_s);
  EXPECT_EQ(Engine().CurrentLine, 4);
}

TEST_F(RunControlTest, ErrorStop) {
  EXPECT_EQ(Run({u"x = 1"_s, u"y = nothing + 1"_s, u"z = 1"_s}), ErrorAt(1, 76, {u"nothing"_s}));
  EXPECT_EQ(host.errors.size(), 1);
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  EXPECT_EQ(Engine().RunMode, rmIdle);
  EXPECT_EQ(Engine().CurrentLine, 1);
  EXPECT_EQ(Value(u"z"_s), QString());

  // the same through single steps
  host.errors.clear();
  Load({u"x = 1"_s, u"y = nothing"_s, u"z = 1"_s});
  Step();
  Step();
  ASSERT_EQ(host.errors.size(), 1);
  EXPECT_EQ(host.errors[0], ErrorAt(1, 76, {u"nothing"_s}));
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  EXPECT_EQ(Engine().RunMode, rmIdle);
  EXPECT_EQ(Engine().CurrentLine, 1);
}

TEST_F(RunControlTest, ErrorInsideAFunctionStopsOnTheBodyLine) {
  EXPECT_EQ(Run({u"r = F(1)"_s, u"s = 1"_s, u"stop"_s, u"function F(_a)"_s,
                 u"  _b = _a / nothing"_s, u"  return _b"_s}),
            ErrorAt(4, 76, {u"nothing"_s}));
  EXPECT_EQ(host.errors.size(), 1);
  EXPECT_EQ(Engine().CurrentLine, 4);
  EXPECT_EQ(Engine().FunctionLevel, 1);
  EXPECT_EQ(Value(u"s"_s), QString());
}

TEST_F(RunControlTest, StatusPanels) {
  Load({u"FOR i = 1,10"_s, u"  i = 1.5"_s, u"  x = F(i)"_s, u"y = 1"_s, u"stop"_s,
        u"function F(_a)"_s, u"  return _a"_s});
  const auto panels = [] {
    QStringList texts;
    for (int p = 0; p <= 4; ++p) texts << StatusPanelText(p);
    return texts;
  };
  EXPECT_EQ(panels(),
            (QStringList{u"Line=0"_s, u"Processing Level=0"_s, u"Function Level=0"_s, {}, {}}));
  Step();
  EXPECT_EQ(panels(), (QStringList{u"Line=1"_s, u"Processing Level=1"_s, u"Function Level=0"_s,
                                   u"loop counter=1"_s, u"loop limit=10"_s}));
  Step();
  EXPECT_EQ(StatusPanelText(3), u"loop counter=1.5 ???"_s);
  Step();  // into the function: its block is on top, no loop
  EXPECT_EQ(panels(),
            (QStringList{u"Line=6"_s, u"Processing Level=2"_s, u"Function Level=1"_s, {}, {}}));
  EXPECT_TRUE(StatusPanelText(5).startsWith(u"time "_s));
  EXPECT_EQ(StatusPanelText(6), QString());
}

// The body of a called function runs inside its caller's run: the toolbar and the status
// panels are set up once for the run, not again for every call.
TEST_F(RunControlTest, CallsLeaveTheRunsToolbarAndPanelsAlone) {
  const auto hostCallsFor = [this](int calls) {
    host.workModeSwitches = host.statusTexts = 0;
    EXPECT_EQ(Run({u"FOR i = 1,"_s + QString::number(calls), u"  x = F(i)"_s, u"stop"_s,
                   u"function F(_a)"_s, u"  _b = _a * 2"_s, u"  return _b"_s}),
              QString());
    EXPECT_EQ(Value(u"x"_s), QString::number(calls * 2));
    return std::pair{host.workModeSwitches, host.statusTexts};
  };
  EXPECT_EQ(hostCallsFor(1), hostCallsFor(50));
}

TEST_F(RunControlTest, StopLineRecognition) {
  const struct {
    const char16_t* line;
    bool begins, isStop;
  } cases[] = {
      {u"stop", true, true},        {u"  STOP  ", true, true},       {u"\tStop", true, true},
      {u"stop # done", true, true}, {u"stop;", true, true},          {u"stopper", true, false},
      {u"stop x", true, false},     {u"x = 1 # stop", false, false}, {u"", false, false},
      {u"sto", false, false},       {u"# stop", false, false},       {u"'stop'", false, false},
  };
  for (const auto& c : cases) {
    const QString line = QString::fromUtf16(c.line);
    SCOPED_TRACE(line.toStdString());
    EXPECT_EQ(LineBeginsWithStop(line), c.begins);
    EXPECT_EQ(IsStopLine(line), c.isStop);
  }
}
