#include "automation/x11_input.h"

#include <QHash>
#include <QThread>
#include <vector>

#include "automation/x11_display.h"

// Xlib last: its macros (Status, Bool, None, ...) clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace {

Display* Dpy() { return XDisplayOrNull(); }

// Virtual-key codes that stand for one key each; ranges (digits, letters, keypad, F-keys)
// are handled in VirtualKeyToKeysym.
struct KeyName {
  int virtualKey;
  unsigned long keysym;
};
constexpr KeyName kKeys[] = {
    {0x03, XK_Cancel},     {0x08, XK_BackSpace},   {0x09, XK_Tab},         {0x0C, XK_Clear},
    {0x0D, XK_Return},     {0x10, XK_Shift_L},     {0x11, XK_Control_L},   {0x12, XK_Alt_L},
    {0x13, XK_Pause},      {0x14, XK_Caps_Lock},   {0x1B, XK_Escape},      {0x20, XK_space},
    {0x21, XK_Prior},      {0x22, XK_Next},        {0x23, XK_End},         {0x24, XK_Home},
    {0x25, XK_Left},       {0x26, XK_Up},          {0x27, XK_Right},       {0x28, XK_Down},
    {0x29, XK_Select},     {0x2A, XK_Print},       {0x2B, XK_Execute},     {0x2C, XK_Print},
    {0x2D, XK_Insert},     {0x2E, XK_Delete},      {0x2F, XK_Help},        {0x5B, XK_Super_L},
    {0x5C, XK_Super_R},    {0x5D, XK_Menu},        {0x5F, 0x1008FF10 /* XF86Sleep */},
    {0x6A, XK_KP_Multiply}, {0x6B, XK_KP_Add},     {0x6C, XK_KP_Separator}, {0x6D, XK_KP_Subtract},
    {0x6E, XK_KP_Decimal}, {0x6F, XK_KP_Divide},   {0x90, XK_Num_Lock},    {0x91, XK_Scroll_Lock},
    {0xA0, XK_Shift_L},    {0xA1, XK_Shift_R},     {0xA2, XK_Control_L},   {0xA3, XK_Control_R},
    {0xA4, XK_Alt_L},      {0xA5, XK_Alt_R},       {0xBA, XK_semicolon},   {0xBB, XK_equal},
    {0xBC, XK_comma},      {0xBD, XK_minus},       {0xBE, XK_period},      {0xBF, XK_slash},
    {0xC0, XK_grave},      {0xDB, XK_bracketleft}, {0xDC, XK_backslash},   {0xDD, XK_bracketright},
    {0xDE, XK_apostrophe},
};

// The button events of the mouse-input flags, in flag order.
struct MouseFlagEvent {
  unsigned flag;
  unsigned button;
  bool press;
};
constexpr MouseFlagEvent kMouseFlagEvents[] = {
    {0x0002, Button1, true}, {0x0004, Button1, false}, {0x0008, Button3, true},
    {0x0010, Button3, false}, {0x0020, Button2, true}, {0x0040, Button2, false},
    {0x0080, 8, true},       {0x0100, 8, false},
};

void Settle() {
  XSync(Dpy(), False);
  QThread::msleep(2);
}

// A key code for a keysym the keyboard map lacks: a key code without keysyms, given this
// keysym. Remapped codes stay as they are, so a program that reads the map late still sees it.
KeyCode SpareKeyCodeFor(unsigned long keysym) {
  static QHash<unsigned long, KeyCode> assigned;
  static std::vector<KeyCode> spare;
  static bool scanned = false;
  if (auto it = assigned.constFind(keysym); it != assigned.constEnd()) return *it;
  int low = 0, high = 0;
  XDisplayKeycodes(Dpy(), &low, &high);
  if (!scanned) {
    scanned = true;
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(Dpy(), KeyCode(low), high - low + 1, &perCode);
    for (int code = high; map && code >= low; --code) {
      bool empty = true;
      for (int i = 0; i < perCode; ++i) empty = empty && map[(code - low) * perCode + i] == NoSymbol;
      if (empty) spare.push_back(KeyCode(code));
    }
    if (map) XFree(map);
  }
  if (spare.empty()) {
    if (assigned.isEmpty()) return 0;
    spare.push_back(assigned.begin().value());  // reuse the oldest remapped code
    assigned.erase(assigned.begin());
  }
  const KeyCode code = spare.back();
  spare.pop_back();
  KeySym syms[2] = {keysym, keysym};
  XChangeKeyboardMapping(Dpy(), code, 2, syms, 1);
  XSync(Dpy(), False);
  QThread::msleep(30);  // clients fetch the new map when they hear of the change
  assigned.insert(keysym, code);
  return code;
}

void FakeKey(KeyCode code, bool down) {
  XTestFakeKeyEvent(Dpy(), code, down, CurrentTime);
  Settle();
}

unsigned long CharacterKeysym(char32_t c) {
  switch (c) {
    case '\r':
    case '\n':
      return XK_Return;
    case '\t':
      return XK_Tab;
    case '\b':
      return XK_BackSpace;
    case 0x1B:
      return XK_Escape;
  }
  if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return c;
  return 0x01000000 | c;
}

void TypeCharacter(char32_t c) {
  const unsigned long keysym = CharacterKeysym(c);
  KeyCode code = XKeysymToKeycode(Dpy(), keysym);
  bool shift = false;
  if (code) {
    // The keysym may sit at the shifted level of its key.
    shift = XkbKeycodeToKeysym(Dpy(), code, 0, 0) != keysym && XkbKeycodeToKeysym(Dpy(), code, 0, 1) == keysym;
  } else {
    code = SpareKeyCodeFor(keysym);
    if (!code) return;
  }
  const KeyCode shiftCode = XKeysymToKeycode(Dpy(), XK_Shift_L);
  if (shift) FakeKey(shiftCode, true);
  FakeKey(code, true);
  FakeKey(code, false);
  if (shift) FakeKey(shiftCode, false);
}

}  // namespace

unsigned long VirtualKeyToKeysym(int vk) {
  if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
  if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
  if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
  for (const KeyName& key : kKeys)
    if (key.virtualKey == vk) return key.keysym;
  return 0;
}

bool SendVirtualKey(int virtualKey, bool down) {
  const unsigned long keysym = VirtualKeyToKeysym(virtualKey);
  if (!keysym) return false;
  KeyCode code = XKeysymToKeycode(Dpy(), keysym);
  if (!code) code = SpareKeyCodeFor(keysym);
  if (!code) return false;
  FakeKey(code, down);
  return true;
}

void TypeText(const QString& text) {
  for (char32_t c : text.toUcs4()) TypeCharacter(c);
}

void SendMouseFlag(unsigned flag) {
  for (const MouseFlagEvent& event : kMouseFlagEvents)
    if (event.flag == flag) {
      XTestFakeButtonEvent(Dpy(), event.button, event.press, CurrentTime);
      Settle();
    }
}

void MovePointer(const QPoint& p) {
  XTestFakeMotionEvent(Dpy(), -1, p.x(), p.y(), CurrentTime);
  Settle();
}

QPoint PointerPosition() {
  Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  XQueryPointer(Dpy(), XRoot(), &root, &child, &x, &y, &wx, &wy, &mask);
  return {x, y};
}

void LeftClick() {
  SendMouseFlag(0x0002);
  SendMouseFlag(0x0004);
}

void DoubleClick() {
  LeftClick();
  QThread::msleep(40);  // as a hand clicks: a second press with no time between can be missed
  LeftClick();
}

unsigned long PointerCursorShape() {
  int eventBase = 0, errorBase = 0;
  if (!XFixesQueryExtension(Dpy(), &eventBase, &errorBase)) return 0;
  XFixesCursorImage* image = XFixesGetCursorImage(Dpy());
  if (!image) return 0;
  const unsigned long serial = image->cursor_serial;
  XFree(image);
  return serial;
}
