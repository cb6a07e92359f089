#include "sample_unit.h"

#include "engine/constants.h"
#include "engine/event_calls.h"
#include "unit_support/call_frame.h"
#include "unit_support/described_unit.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// InputString(Prompt[, Default]): the line typed, empty after Cancel.
void InputString(GeneralCall& call) {
  QString text;
  if (!Dialogs().InputLine(call.text(0), call.has(1) ? call.text(1) : QString(), text)) text.clear();
  call.setText(text);
}

// Message(Prompt[, Caption, Buttons]): the result code of the button pressed.
void Message(GeneralCall& call) {
  const int style = call.has(2) ? int(call.integer(2)) : 0;
  call.setNumber(int(Dialogs().ShowMessage(call.text(0), call.has(1) ? call.text(1) : QString(), style)));
}

constexpr UnitFunctionEntry kSampleFunctions[] = {
    {u"InputString", InputString},
    {u"Message", Message},
};

void CallSampleFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::Dialog, {kSampleFunctions}, ArgumentCountPolicy::WordsWithTextOrKind);
  table.Call(name, args, result);
}

}  // namespace

SampleUnitLog& SampleLog() {
  static SampleUnitLog log;
  return log;
}

FunctionUnit& SampleUnit() {
  static DescribedUnit unit(TableId::Dialog, CallSampleFunction,
                            {.addConstants = [] { RegisterConstant(u"SAMPLE_ANSWER"_s, u"42"_s); },
                             .runStarting = [] { ++SampleLog().runsStarted; },
                             .resetState = [] { ++SampleLog().resets; }});
  return unit;
}

bool ClickSampleButton(const QString& handler) {
  TWordStatus result;
  return CallScriptFunctionFromEvent(handler, TWordArray(), result);
}
