#include "automation/window_messages.h"

#include "automation/accessible_menus.h"
#include "automation/x11_input.h"
#include "automation/x11_windows.h"

#include <array>

namespace {

// Win32 message numbers and key codes used below.
enum : qint64 {
  kWmSetFocus = 0x0007, kWmSetText = 0x000C, kWmGetText = 0x000D, kWmGetTextLength = 0x000E,
  kWmClose = 0x0010, kWmKeyDown = 0x0100, kWmKeyUp = 0x0101, kWmChar = 0x0102,
  kWmCut = 0x0300, kWmCopy = 0x0301, kWmPaste = 0x0302, kWmClear = 0x0303,
  kEmSetSel = 0x00B1, kBmClick = 0x00F5, kWmCommand = 0x0111,
};
constexpr int kVkControl = 0x11, kVkDelete = 0x2E;

using MessageAction = qint64 (*)(XWindow, const MessageParameter&, const MessageParameter&);

// A key combination typed into the window after it has been activated.
qint64 PressInWindow(XWindow window, std::initializer_list<int> keys) {
  if (!ActivateWindow(window)) return 0;
  for (int key : keys) SendVirtualKey(key, true);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) SendVirtualKey(*key, false);
  return 1;
}

qint64 SetFocus(XWindow w, const MessageParameter&, const MessageParameter&) {
  ActivateWindow(w);
  return 0;
}
qint64 SetText(XWindow w, const MessageParameter&, const MessageParameter& l) { return SetWindowTitle(w, l.text) ? 1 : 0; }
qint64 GetTextLength(XWindow w, const MessageParameter&, const MessageParameter&) { return WindowTitle(w).size(); }
// The text goes nowhere a script could read it; the answer is the number of characters that
// a buffer of WParam characters would have received.
qint64 GetText(XWindow w, const MessageParameter& wp, const MessageParameter&) {
  return wp.number <= 0 ? 0 : std::min<qint64>(WindowTitle(w).size(), wp.number - 1);
}
qint64 Close(XWindow w, const MessageParameter&, const MessageParameter&) {
  CloseWindow(w);
  return 0;
}
qint64 KeyDown(XWindow w, const MessageParameter& wp, const MessageParameter&) {
  if (ActivateWindow(w)) SendVirtualKey(int(wp.number), true);
  return 0;
}
qint64 KeyUp(XWindow w, const MessageParameter& wp, const MessageParameter&) {
  if (ActivateWindow(w)) SendVirtualKey(int(wp.number), false);
  return 0;
}
qint64 Char(XWindow w, const MessageParameter& wp, const MessageParameter&) {
  if (!ActivateWindow(w)) return 0;
  TypeText(wp.isText ? wp.text : QString::fromUcs4(std::array{char32_t(wp.number)}.data(), 1));
  return 0;
}
qint64 Cut(XWindow w, const MessageParameter&, const MessageParameter&) { return PressInWindow(w, {kVkControl, 'X'}); }
qint64 Copy(XWindow w, const MessageParameter&, const MessageParameter&) { return PressInWindow(w, {kVkControl, 'C'}); }
qint64 Paste(XWindow w, const MessageParameter&, const MessageParameter&) { return PressInWindow(w, {kVkControl, 'V'}); }
qint64 Clear(XWindow w, const MessageParameter&, const MessageParameter&) { return PressInWindow(w, {kVkDelete}); }
// Only "select all" (0, -1) can be given as keys.
qint64 SetSelection(XWindow w, const MessageParameter& wp, const MessageParameter& lp) {
  if (wp.number == 0 && lp.number == -1) PressInWindow(w, {kVkControl, 'A'});
  return 0;
}
// A click in the middle of the window.
qint64 Click(XWindow w, const MessageParameter&, const MessageParameter&) {
  const auto rect = WindowRect(w, false);
  if (!rect) return 0;
  MovePointer(rect->center());
  LeftClick();
  return 0;
}

// A menu command: the item of the window's menu bar with that identifier.
qint64 Command(XWindow w, const MessageParameter& wp, const MessageParameter&) {
  if (const auto item = FindMenuItemById(MenuBarOf(w), wp.number)) RunMenuItem(item->item);
  return 0;
}

struct MessageEntry {
  qint64 message;
  MessageAction act;
  bool keyboard;  // acted out with keys, on whatever has the window's focus
};
constexpr MessageEntry kMessages[] = {
    {kWmSetFocus, SetFocus, false},  {kWmSetText, SetText, false},   {kWmGetText, GetText, false},
    {kWmGetTextLength, GetTextLength, false}, {kWmClose, Close, false}, {kWmKeyDown, KeyDown, true},
    {kWmKeyUp, KeyUp, true},         {kWmChar, Char, true},          {kWmCut, Cut, true},
    {kWmCopy, Copy, true},           {kWmPaste, Paste, true},        {kWmClear, Clear, true},
    {kEmSetSel, SetSelection, true}, {kBmClick, Click, false},     {kWmCommand, Command, false},
};

const MessageEntry* Find(qint64 message) {
  for (const MessageEntry& entry : kMessages)
    if (entry.message == message) return &entry;
  return nullptr;
}

}  // namespace

qint64 ActOnWindowMessage(XWindow window, qint64 message, const MessageParameter& wParam,
                          const MessageParameter& lParam) {
  const MessageEntry* entry = Find(message);
  if (!entry || !WindowExists(window)) return 0;
  return entry->act(window, wParam, lParam);
}

qint64 ActOnFocusedWindowMessage(XWindow window, qint64 message, const MessageParameter& wParam,
                                 const MessageParameter& lParam) {
  const MessageEntry* entry = Find(message);
  if (!entry || !entry->keyboard || !WindowExists(window)) return 0;
  return entry->act(window, wParam, lParam);
}
