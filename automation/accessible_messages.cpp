#include "automation/accessible_messages.h"

#include <QElapsedTimer>
#include <QThread>

#include "automation/accessibility.h"
#include "automation/x11_input.h"
#include "automation/x11_windows.h"

namespace {

// Win32 message numbers and answers used below.
enum : qint64 {
  kWmSetFocus = 0x0007, kWmSetText = 0x000C, kWmGetText = 0x000D, kWmGetTextLength = 0x000E,
  kEmSetSel = 0x00B1, kBmGetCheck = 0x00F0, kBmSetCheck = 0x00F1, kBmGetState = 0x00F2, kBmClick = 0x00F5,
  kLbSetCurSel = 0x0186, kLbGetCurSel = 0x0188, kLbGetText = 0x0189, kLbGetTextLen = 0x018A, kLbGetCount = 0x018B,
  kCbGetCount = 0x0146, kCbGetCurSel = 0x0147, kCbGetLbText = 0x0148, kCbGetLbTextLen = 0x0149, kCbSetCurSel = 0x014E,
};
constexpr qint64 kListError = -1;  // LB_ERR, CB_ERR
constexpr qint64 kChecked = 1, kIndeterminate = 2;
constexpr int kVkHome = 0x24, kVkDown = 0x28, kVkReturn = 0x0D;

using ControlAction = qint64 (*)(quint64, const MessageParameter&, const MessageParameter&);

// Keys are typed into the control: its window is activated and the control given the focus.
qint64 FocusThen(quint64 control) {
  ActivateWindow(TopLevelOf(control));
  FocusAccessible(control);
  QThread::msleep(50);  // the program moves its focus when it handles the request
  return 0;
}

qint64 SetFocus(quint64 c, const MessageParameter&, const MessageParameter&) { return FocusThen(c); }
qint64 SetText(quint64 c, const MessageParameter&, const MessageParameter& l) { return SetAccessibleText(c, l.text) ? 1 : 0; }
qint64 GetTextLength(quint64 c, const MessageParameter&, const MessageParameter&) { return AccessibleText(c).size(); }
// The text goes nowhere a script could read it: the answer is the number of characters that a
// buffer of WParam characters would have received.
qint64 GetText(quint64 c, const MessageParameter& wp, const MessageParameter&) {
  return wp.number <= 0 ? 0 : std::min<qint64>(AccessibleText(c).size(), wp.number - 1);
}
// The control gets the focus first: taking it later could drop the selection.
qint64 SetSelection(quint64 c, const MessageParameter& wp, const MessageParameter& lp) {
  FocusThen(c);
  SelectAccessibleText(c, wp.number, lp.number);
  return 0;
}

qint64 CheckOf(quint64 c) {
  if (HasAccessibleState(c, AccessibleState::Indeterminate)) return kIndeterminate;
  return HasAccessibleState(c, AccessibleState::Checked) ? kChecked : 0;
}
qint64 GetCheck(quint64 c, const MessageParameter&, const MessageParameter&) { return CheckOf(c); }
qint64 SetCheck(quint64 c, const MessageParameter& wp, const MessageParameter&) {
  if ((CheckOf(c) == kChecked) != (wp.number == kChecked)) DoAccessibleAction(c, {QStringLiteral("toggle")});
  return 0;
}
qint64 Click(quint64 c, const MessageParameter&, const MessageParameter&) {
  DoAccessibleAction(c, {QStringLiteral("press"), QStringLiteral("click"), QStringLiteral("activate")});
  return 0;
}

qint64 ItemCount(quint64 c, const MessageParameter&, const MessageParameter&) { return qint64(ListItems(c).size()); }
qint64 ItemTextLength(quint64 c, const MessageParameter& wp, const MessageParameter&) {
  const std::vector<quint64> items = ListItems(c);
  if (wp.number < 0 || wp.number >= qint64(items.size())) return kListError;
  return AccessibleName(items[std::size_t(wp.number)]).size();
}
bool IsComboBox(quint64 c) { return AccessibleRole(c) == QStringLiteral("combo box"); }

// A combo box's current item follows its popup, not the selection of its hidden list: the popup
// is opened and walked with the keys (Home, Down as often as the index says, Return).
qint64 SelectComboItem(quint64 c, qint64 index) {
  if (index < 0 || index >= qint64(ListItems(c).size())) return kListError;
  ActivateWindow(TopLevelOf(c));
  if (!DoAccessibleAction(c, {QStringLiteral("ShowMenu"), QStringLiteral("press")})) return kListError;
  QThread::msleep(200);  // the popup takes the keyboard once it is shown
  const auto press = [](int key) {
    SendVirtualKey(key, true);
    SendVirtualKey(key, false);
  };
  press(kVkHome);
  for (qint64 i = 0; i < index; ++i) press(kVkDown);
  press(kVkReturn);
  return index;
}

qint64 SetCurrent(quint64 c, const MessageParameter& wp, const MessageParameter&) {
  if (IsComboBox(c)) return SelectComboItem(c, wp.number);
  return SelectListItem(c, wp.number) ? wp.number : kListError;
}
// A combo box shows its current item's text as its name.
qint64 GetCurrent(quint64 c, const MessageParameter&, const MessageParameter&) {
  if (!IsComboBox(c)) return SelectedListItem(c);
  const QString current = AccessibleName(c);
  const std::vector<quint64> items = ListItems(c);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (AccessibleName(items[i]) == current) return qint64(i);
  return kListError;
}

struct ControlMessage {
  qint64 message;
  ControlAction act;
};
constexpr ControlMessage kControlMessages[] = {
    {kWmSetFocus, SetFocus},      {kWmSetText, SetText},         {kWmGetText, GetText},
    {kWmGetTextLength, GetTextLength}, {kEmSetSel, SetSelection}, {kBmGetCheck, GetCheck},
    {kBmGetState, GetCheck},      {kBmSetCheck, SetCheck},       {kBmClick, Click},
    {kLbGetCount, ItemCount},     {kCbGetCount, ItemCount},      {kLbGetText, ItemTextLength},
    {kLbGetTextLen, ItemTextLength}, {kCbGetLbText, ItemTextLength}, {kCbGetLbTextLen, ItemTextLength},
    {kLbSetCurSel, SetCurrent},   {kCbSetCurSel, SetCurrent},    {kLbGetCurSel, GetCurrent},
    {kCbGetCurSel, GetCurrent},
};

}  // namespace

qint64 ActOnControlMessage(quint64 control, qint64 message, const MessageParameter& wParam,
                           const MessageParameter& lParam) {
  if (!AccessibleExists(control)) return 0;
  for (const ControlMessage& entry : kControlMessages)
    if (entry.message == message) return entry.act(control, wParam, lParam);
  // Keys, characters and the clipboard keys go to the control once it has the focus; the
  // window's own messages (WM_CLOSE) do nothing to a control.
  FocusThen(control);
  return ActOnFocusedWindowMessage(TopLevelOf(control), message, wParam, lParam);
}
