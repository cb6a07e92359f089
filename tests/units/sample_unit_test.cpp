// A unit plugged in from the unit list: its constant, its lifecycle, a dialog answered on the
// console, and a script function called from a click.
#include <cstdio>

#include "../engine/script_runner.h"
#include "app/console_dialogs.h"
#include "app/unit_list.h"
#include "sample_unit.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class SampleUnitTest : public ScriptTest {
 protected:
  void SetUp() override {
    RegisterUnits({SampleUnit});
    ScriptTest::SetUp();
  }
  void TearDown() override {
    SetDialogService(nullptr);
    ScriptTest::TearDown();
  }
  // Console dialogs that read `answers` and write their prompts to a scratch stream.
  void AnswerWith(const char* answers) {
    answers_ = answers;
    in_ = fmemopen(answers_.data(), answers_.size(), "r");
    out_ = std::tmpfile();
    dialogs_ = std::make_unique<ConsoleDialogs>(in_, out_);
    SetDialogService(dialogs_.get());
  }
  ~SampleUnitTest() override {
    if (in_) std::fclose(in_);
    if (out_) std::fclose(out_);
  }

 private:
  std::string answers_;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  std::unique_ptr<ConsoleDialogs> dialogs_;
};

}  // namespace

TEST_F(SampleUnitTest, ConstantsDialogsAndLifecycle) {
  AnswerWith("Ann\nno\n");
  const int runsBefore = SampleLog().runsStarted;
  EXPECT_EQ(Run({u"k = SAMPLE_ANSWER + 1"_s, u"name = InputString('Your name?', 'nobody')"_s,
                 u"b = Message('Go on?', 'Sample', 4)"_s, u"rest = InputString('More?', 'x')"_s})
                .toStdString(),
            "");
  EXPECT_EQ(Value(u"k"_s), u"43"_s);
  EXPECT_EQ(Value(u"name"_s), u"Ann"_s);
  EXPECT_EQ(Value(u"b"_s), u"7"_s);       // "No" of the Yes/No set
  EXPECT_EQ(Value(u"rest"_s), QString());  // the end of input cancels
  EXPECT_EQ(SampleLog().runsStarted, runsBefore + 1);

  // An engine reset keeps the unit's constant and resets its state.
  const int resetsBefore = SampleLog().resets;
  ResetEngine();
  EXPECT_EQ(SampleLog().resets, resetsBefore + 1);
  EXPECT_EQ(Run({u"k = SAMPLE_ANSWER"_s}).toStdString(), "");
  EXPECT_EQ(Value(u"k"_s), u"42"_s);
}

TEST_F(SampleUnitTest, AButtonCallsAScriptFunction) {
  EXPECT_EQ(Run({u"clicks = 0"_s, u"stop"_s, u"function OnClick()"_s, u"  clicks = clicks + 1"_s,
                 u"  return"_s})
                .toStdString(),
            "");
  EXPECT_TRUE(ClickSampleButton(u"OnClick"_s));
  EXPECT_TRUE(ClickSampleButton(u"OnClick"_s));
  EXPECT_EQ(Value(u"clicks"_s), u"2"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}
