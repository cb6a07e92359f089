// Key combinations, the mouse and the clipboard.
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "automation/desktop_objects.h"
#include "automation/os_families.h"
#include "automation/x11_input.h"
#include "automation/x11_windows.h"
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/run_host.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The modifier flags of SendHotKey (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN) and their keys,
// pressed in this order and released in the same order.
struct Modifier {
  qint64 flag;
  int virtualKey;
};
constexpr Modifier kModifiers[] = {{0x1, 0x12}, {0x2, 0x11}, {0x4, 0x10}, {0x8, 0x5B}};

void SendHotKey(GeneralCall& call) {
  const quint64 window = NonNegativeArgument(call, 0);
  const qint64 flags = NonNegativeArgument(call, 1);
  int keys[3] = {KeyCodeArgument(call, 2), call.count() >= 4 ? KeyCodeArgument(call, 3) : 0,
                 call.count() == 5 ? KeyCodeArgument(call, 4) : 0};
  if (!HaveDisplay()) return;
  ActivateHandle(window);
  for (const Modifier& m : kModifiers)
    if (flags & m.flag) SendVirtualKey(m.virtualKey, true);
  for (int i = 0; i < 3; ++i)
    if (i == 0 || keys[i] != 0) {
      SendVirtualKey(keys[i], true);
      SendVirtualKey(keys[i], false);
    }
  for (const Modifier& m : kModifiers)
    if (flags & m.flag) SendVirtualKey(m.virtualKey, false);
  call.setNumber(0);
}

// The cursor shape after a move goes into MouseCursor (_MouseCursor inside a script function,
// where it is local).
void StorePointerCursorShape() {
  const QString name = Engine().FunctionLevel >= 1 ? u"_MouseCursor"_s : u"MouseCursor"_s;
  SetVariable(name, QString::number(PointerCursorShape()), wkFloat);
  Host().RefreshViews();
}

void Mouse(GeneralCall& call) {
  const qint64 action = RequireNonNegative(call, 0, call.integer(0));
  if (!HaveDisplay()) return;
  unsigned rest = unsigned(action);
  if (rest & kMouseMove) {
    if (call.count() != 3) return call.fail(msg::kMouseMoveNeedsPoint);
    MovePointer(QPoint(int(call.integer(1)), int(call.integer(2))));
    StorePointerCursorShape();
    rest &= ~kMouseMove;
  }
  for (unsigned flag = 0x2; flag <= 0x8000; flag <<= 1)
    if (rest & flag) SendMouseFlag(flag);
  if (rest & kMouseDoubleClick) DoubleClick();
}

// The four elements of a one-dimensional array as reals.
bool RectElements(GeneralCall& call, const QString& name, double (&values)[4]) {
  const int index = FindArray(name);
  if (index == 0) {
    call.fail(msg::kUnknownArray, {name});
    return false;
  }
  const t_arr_specification& array = Engine().Array(index);
  const bool oneDimension = array.dim[0] == 4 && std::all_of(array.dim.begin() + 1, array.dim.end(), [](auto d) { return d == 0; });
  if (!oneDimension || !array.P) {
    call.fail(msg::kArrayMustBeLength, {name, 4});
    return false;
  }
  for (int i = 0; i < 4; ++i) {
    if (array.data_type == wkFloat && array.P->floats.size() == 4) values[i] = array.P->floats[i];
    else if (array.P->ints.size() == 4) values[i] = double(array.P->ints[i]);
    else if (array.P->strings.size() == 4) values[i] = array.P->strings[i].trimmed().toDouble();
  }
  return true;
}

void MouseClicRect(GeneralCall& call) {
  const QString name = call.text(0);
  const qint64 action = call.count() == 2 ? call.integer(1) : 0;
  double r[4] = {0, 0, 0, 0};
  if (!RectElements(call, name, r) || !HaveDisplay()) return;
  MovePointer(QPoint(int(std::nearbyint(r[0] + r[2] * 0.5)), int(std::nearbyint(r[1] + r[3] * 0.5))));
  if (action == 1) LeftClick();
  if (action == 2) DoubleClick();
}

constexpr int kClipboardServeMs = 300;

QClipboard* Clipboard() {
  if (!HaveDisplay()) return nullptr;
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

void GetClipboardText(GeneralCall& call) {
  if (QClipboard* clipboard = Clipboard()) call.setText(clipboard->text());
}

void SetClipboardText(GeneralCall& call) {
  QClipboard* clipboard = Clipboard();
  if (!clipboard) return;
  clipboard->setText(call.text(0));
  // Programs that watch the clipboard ask for the new text at once, and wait for it: answer
  // them for a moment before the script goes on to talk to them.
  QElapsedTimer serving;
  serving.start();
  while (serving.elapsed() < kClipboardServeMs) {
    Host().ProcessEvents();
    QThread::msleep(10);
  }
}

constexpr UnitFunctionEntry kInputFunctions[] = {
    {u"SendHotKey", SendHotKey},
    {u"Mouse", Mouse},
    {u"MouseClicRect", MouseClicRect},
    {u"GetClipboardText", GetClipboardText},
    {u"SetClipboardText", SetClipboardText},
};

}  // namespace

std::span<const UnitFunctionEntry> InputFunctions() { return kInputFunctions; }
