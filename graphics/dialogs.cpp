#include "graphics/dialogs.h"
#include "graphics/info_form.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/run_host.h"
#include "unit_support/call_frame.h"
#include "unit_support/described_unit.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The default text is used only when exactly two arguments are given.
QString DefaultText(const GeneralCall& call) { return call.count() == 2 ? call.text(1) : QString(); }

// InputString(Prompt[, Default]): the text entered; empty after Cancel.
void InputString(GeneralCall& call) {
  QString text;
  if (!Dialogs().InputLine(call.text(0), DefaultText(call), text)) text.clear();
  call.setText(text);
}

// InputText(Prompt[, Default]): the text of the field, after OK and after Cancel alike.
void InputText(GeneralCall& call) { call.setText(Dialogs().InputText(call.text(0), DefaultText(call))); }

// Message(Prompt[, Caption, Buttons]): the code of the button pressed (1 OK ... 7 No).
void Message(GeneralCall& call) {
  const QString caption = call.count() >= 2 ? call.text(1) : QString();
  const int style = call.count() == 3 ? int(std::clamp<qint64>(call.integer(2), 0, INT_MAX)) : 0;
  call.setNumber(int(Dialogs().ShowMessage(call.text(0), caption, style)));
}

// Menu(Prompt, Menu[, Selected]): the 1-based number of the line chosen from a string array,
// 0 when cancelled.
void Menu(GeneralCall& call) {
  const QString name = call.text(1);
  const int index = FindArray(name);
  if (index == 0) return call.fail(msg::kUnknownArray, {name});
  const t_arr_specification& array = Engine().Array(index);
  if (array.data_type != wkString) return call.fail(msg::kArrayMustBeString, {name});
  QStringList lines;
  if (array.P)
    for (const QString& line : array.P->strings) lines << line;
  const int selected = call.count() == 3 ? int(std::clamp<qint64>(call.integer(2), 0, lines.size())) : 0;
  call.setNumber(Dialogs().ChooseLine(call.text(0), lines, selected));
}

constexpr UnitFunctionEntry kDialogFunctions[] = {
    {u"InputString", InputString},
    {u"InputText", InputText},
    {u"Message", Message},
    {u"Menu", Menu},
    {u"Info_form", InfoForm},
};

void CallDialogFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::Dialog, {kDialogFunctions}, ArgumentCountPolicy::WordsWithTextOrKind);
  Host().RefreshViews();  // the user sees current values while a dialog is open
  table.Call(name, args, result);
}

}  // namespace

FunctionUnit& DialogUnit() {
  static DescribedUnit unit(TableId::Dialog, CallDialogFunction);
  return unit;
}
