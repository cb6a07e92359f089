// Script functions called from events (a click, a button) outside the run loop, and the
// units' lifecycle as the engine drives it.
#include "engine/event_calls.h"
#include "engine/function_units.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using EventCalls = ScriptTest;

const QStringList kScript = {u"n = 0"_s,           u"m = 1"_s,          u"stop"_s,
                             u"function Clicked()"_s, u"  n = n + 1"_s,    u"  return n * 10"_s,
                             u"function Broken()"_s,  u"  x = nothing"_s, u"  return"_s};

}  // namespace

TEST_F(EventCalls, AHandlerRunsAtOnceAndTheRunStateComesBack) {
  Load(kScript);
  A_StepExecute(RunInitiator::Step);  // stepping: line 0 ran, the run waits on line 1
  ASSERT_EQ(Engine().CurrentLine, 1);
  TWordStatus result;
  ASSERT_TRUE(CallScriptFunctionFromEvent(u"Clicked"_s, TWordArray(), result));
  EXPECT_EQ(result.str, u"10"_s);
  EXPECT_EQ(Value(u"n"_s), u"1"_s);
  EXPECT_EQ(Engine().CurrentLine, 1);
  EXPECT_EQ(Engine().RunMode, rmSingleStep);
  EXPECT_EQ(Engine().BlockDepth, 0);
  EXPECT_EQ(Engine().FunctionLevel, 0);
  A_StepExecute(RunInitiator::Step);  // the interrupted run goes on where it was
  EXPECT_EQ(Value(u"m"_s), u"1"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(EventCalls, ErrorsAreShownAndAHandlerIsNeverEnteredTwice) {
  Run(kScript);
  TWordStatus result;
  ASSERT_TRUE(CallScriptFunctionFromEvent(u"Broken"_s, TWordArray(), result));
  ASSERT_EQ(host.errors.size(), 1);
  EXPECT_EQ(host.errors[0], ErrorAt(7, 76, {u"nothing"_s}));
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  EXPECT_FALSE(EventCallInProgress());
  // Unknown functions are reported the same way.
  ASSERT_TRUE(CallScriptFunctionFromEvent(u"Missing"_s, TWordArray(), result));
  EXPECT_EQ(host.errors.size(), 2);

  // A handler that (through a host callback) tries to start another event call is refused.
  struct ReenteringHost : RecordingHost {
    int refused = 0;
    void RefreshViews() override {
      TWordStatus inner;
      if (EventCallInProgress() && !CallScriptFunctionFromEvent(u"Clicked"_s, TWordArray(), inner)) ++refused;
    }
  } reentering;
  SetRunHost(&reentering);
  ASSERT_TRUE(CallScriptFunctionFromEvent(u"Clicked"_s, TWordArray(), result));
  SetRunHost(&host);
  EXPECT_GT(reentering.refused, 0);
  EXPECT_EQ(Value(u"n"_s), u"1"_s);  // Clicked ran once
}

TEST_F(EventCalls, StopRunEndsTheRunAfterTheCurrentStep) {
  Load({u"a = 1"_s, u"b = 2"_s, u"c = 3"_s});
  struct StoppingHost : RecordingHost {
    void ProcessEvents() override {
      if (Engine().CurrentLine == 1) StopRun();
    }
  } stopping;
  SetRunHost(&stopping);
  A_StartExecute(RunInitiator::Start);
  SetRunHost(&host);
  EXPECT_EQ(Value(u"b"_s), u"2"_s);  // the line under way completes
  EXPECT_EQ(Value(u"c"_s), QString());
  EXPECT_EQ(Engine().RunMode, rmIdle);
}

// The buttons of the script-built window: a script-function call, one line of any kind, and the
// run interrupted in a loop carries on with its block stack and variables as they were.
TEST_F(EventCalls, InterfaceCommandsRunBetweenStepsAndLeaveTheRunAsItWas) {
  Load({u"total = 0"_s, u"for i = 1,3"_s, u"  total = total + i"_s, u"stop"_s,
        u"function Bump(_by)"_s, u"  total = total + _by * 100"_s, u"  return total"_s});
  for (int step = 0; step < 3; ++step) A_StepExecute(RunInitiator::Step);  // inside the loop
  const int line = Engine().CurrentLine, depth = Engine().BlockDepth;
  const TBlockLevel loop = Engine().Blocks[std::size_t(depth)];
  ASSERT_GT(depth, 0);

  ASSERT_TRUE(RunInterfaceCommand(u"Bump(2)"_s));   // a script function: a call
  ASSERT_TRUE(RunInterfaceCommand(u"total = total + 10"_s));  // one line
  ASSERT_TRUE(RunInterfaceCommand(u"for k = 1,2"_s));      // a line that opens a block
  EXPECT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
  EXPECT_EQ(Value(u"total"_s), u"211"_s);
  EXPECT_EQ(Engine().CurrentLine, line);
  EXPECT_EQ(Engine().BlockDepth, depth);
  EXPECT_EQ(Engine().Blocks[std::size_t(depth)].nLine, loop.nLine);
  EXPECT_EQ(Engine().ScriptLines.size(), 7) << "the temporary line is gone";
  EXPECT_EQ(Engine().InterfaceCallMode, 0);

  A_Continue_runExecute();
  EXPECT_EQ(Value(u"total"_s), u"216"_s) << "the loop went on: 211 + 2 + 3";

  // Errors are shown, not left pending; an unknown function is reported as a missing one.
  ASSERT_TRUE(RunInterfaceCommand(u"total = nothing"_s));
  ASSERT_TRUE(RunInterfaceCommand(u"Missing(1)"_s));
  ASSERT_EQ(host.errors.size(), 2);
  EXPECT_TRUE(host.errors[1].contains(u"\"missing\""_s)) << host.errors[1].toStdString();
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
}

namespace {

// A unit that only records its lifecycle.
class LifecycleUnit : public FunctionUnit {
 public:
  int constantsAdded = 0, runsStarted = 0, resets = 0, endings = 0;
  TWordKind WordKind() const override { return wkFTPFunction; }
  int FindFunction(QStringView) const override { return -1; }
  void Dispatch(const QString&, const TWordArray&, TWordStatus&) override {}
  void AddConstants() override { ++constantsAdded; }
  void RunStarting() override { ++runsStarted; }
  void ResetState() override { ++resets; }
  void ProgramEnding() override { ++endings; }
};

}  // namespace

TEST_F(EventCalls, UnitsHearRegistrationRunsResetsAndTheEnd) {
  LifecycleUnit unit;
  const auto generation = Engine().NamesGeneration;
  RegisterFunctionUnit(&unit);
  EXPECT_GT(Engine().NamesGeneration, generation);  // names are classified anew
  EXPECT_EQ(unit.constantsAdded, 1);
  Run({u"a = 1"_s, u"b = 2"_s});
  Run({u"a = 1"_s});
  EXPECT_EQ(unit.runsStarted, 2);
  ResetEngine();
  EXPECT_EQ(unit.resets, 1);
  EXPECT_EQ(unit.constantsAdded, 2);  // the reset emptied the constants table
  NotifyProgramEnding();
  EXPECT_EQ(unit.endings, 1);
  UnregisterFunctionUnit(wkFTPFunction);
}
