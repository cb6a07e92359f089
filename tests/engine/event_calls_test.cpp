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
