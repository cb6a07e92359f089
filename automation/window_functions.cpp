// FindWindow, window messages, window text, rectangles, placement and stacking.
#include <QGuiApplication>
#include <QWindow>

#include "automation/os_families.h"
#include "automation/accessibility.h"
#include "automation/desktop_objects.h"
#include "automation/window_path.h"
#include "automation/x11_windows.h"
#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxWindowText = 2040;

const WindowTree& DesktopTree() {
  static const WindowTree tree{ChildrenOf, HasClassName, TitleOf};
  return tree;
}

// Left, top, width and height into the float array at a 1-based index.
void StoreRect(int arrayIndex, const QRect& rect) {
  const t_arr_specification& array = Engine().Array(arrayIndex);
  if (!array.P || array.P->floats.size() < 4) return;
  array.P->floats[0] = rect.left();
  array.P->floats[1] = rect.top();
  array.P->floats[2] = rect.width();
  array.P->floats[3] = rect.height();
}

// The global array WindRect, declared anew, holds the found window's rectangle.
void PublishWindRect(const QRect& rect) {
  const std::int32_t level = std::exchange(Engine().FunctionLevel, 0);
  const int index = DeclareArrayOf(u"WindRect"_s, {4}, wkFloat);
  Engine().FunctionLevel = level;
  if (index == 0) return;
  StoreRect(index, rect);
  Engine().ChangedArrayName.clear();
}

void FindWindow(GeneralCall& call) {
  const QString path = call.text(0);
  const quint64 parent = call.count() >= 2 ? NonNegativeArgument(call, 1) : 0;
  const quint64 after = call.count() >= 3 ? NonNegativeArgument(call, 2) : 0;
  const qint64 blinks = call.count() == 4 ? IntegerArgument(call, 3) : 0;
  if (!HaveDisplay()) return;
  const quint64 found = FindWindowByPath(DesktopTree(), path, parent, after);
  if (found) {
    if (const auto rect = RectOf(found, true)) {
      if (blinks > 0) Dialogs().Highlight(*rect, int(std::min<qint64>(blinks, 1000)));
      PublishWindRect(*rect);
    }
  }
  call.setNumber(double(found));
}

MessageParameter Parameter(const GeneralCall& call, int n, bool passText) {
  MessageParameter p;
  if (!call.has(n)) return p;
  p.isText = call.arg(n).kind == wkString || call.arg(n).kind == wkStringDQ;
  p.text = call.text(n);
  // A text that is not a number is passed only as text.
  if (!(passText && p.isText)) p.number = IntegerArgument(call, n);
  return p;
}

// SendMessage converts a text WParam to a number; PostMessage passes it as text. LParam is
// read only when all four arguments are given.
void SendOrPost(GeneralCall& call, bool post) {
  const quint64 window = NonNegativeArgument(call, 0);
  const qint64 message = NonNegativeArgument(call, 1);
  const MessageParameter wParam = call.count() >= 3 ? Parameter(call, 2, post) : MessageParameter{};
  const MessageParameter lParam = call.count() == 4 ? Parameter(call, 3, true) : MessageParameter{};
  if (!HaveDisplay()) return;
  if (post) {
    const bool exists = HandleExists(window);
    SendMessageTo(window, message, wParam, lParam);
    call.setBool(exists);
    return;
  }
  RaiseWindow(TopLevelOf(window));
  call.setNumber(double(SendMessageTo(window, message, wParam, lParam)));
}

void SendMessage(GeneralCall& call) { SendOrPost(call, false); }
void PostMessage(GeneralCall& call) { SendOrPost(call, true); }

void GetWindowText(GeneralCall& call) {
  const quint64 window = NonNegativeArgument(call, 0);
  if (!HaveDisplay()) return;
  call.setText(HandleExists(window) ? TextOf(window).left(kMaxWindowText) : QString());
}

void SetWindowText(GeneralCall& call) {
  const quint64 window = NonNegativeArgument(call, 0);
  if (!HaveDisplay()) return;
  call.setNumber(HandleExists(window) && SetTextOf(window, call.text(1)) ? 1 : 0);
}

void SetWindowPos(GeneralCall& call) {
  const XWindow window = NonNegativeArgument(call, 0);
  const XWindow insertAfter = NonNegativeArgument(call, 1);
  QRect outer;
  if (call.count() >= 6)
    outer = QRect(int(IntegerArgument(call, 2)), int(IntegerArgument(call, 3)), int(IntegerArgument(call, 4)),
                  int(IntegerArgument(call, 5)));
  const qint64 flags = call.count() == 7 ? NonNegativeArgument(call, 6) : kSwpNoSize | kSwpNoMove;
  if (!HaveDisplay()) return;
  PlaceWindow(window, insertAfter, outer, unsigned(flags));
  call.setNumber(0);
}

// A temporary array of four zeros, filled with the rectangle when it can be read.
void RectArray(GeneralCall& call, bool withFrame) {
  const quint64 window = IntegerArgument(call, 0);
  if (!HaveDisplay()) return;
  const int index = call.newArray({4}, wkFloat);
  if (index == 0) return;
  if (const auto rect = RectOf(window, withFrame)) StoreRect(index, *rect);
}

void GetWindowRect(GeneralCall& call) { RectArray(call, true); }
void GetWindowClientRect(GeneralCall& call) { RectArray(call, false); }

// Handle 0 is this program's own main window.
void BringWindowToTop(GeneralCall& call) {
  const quint64 window = NonNegativeArgument(call, 0);
  if (window == 0) {
    bool raised = false;
    for (QWindow* own : QGuiApplication::topLevelWindows())
      if (own->isVisible() && !own->transientParent() && !raised) {
        own->raise();
        own->requestActivate();
        raised = true;
      }
    call.setBool(raised);
    return;
  }
  if (!HaveDisplay()) return;
  call.setBool(ActivateHandle(window));
}

constexpr UnitFunctionEntry kWindowFunctions[] = {
    {u"FindWindow", FindWindow},
    {u"SendMessage", SendMessage},
    {u"PostMessage", PostMessage},
    {u"GetWindowText", GetWindowText},
    {u"SetWindowText", SetWindowText},
    {u"SetWindowPos", SetWindowPos},
    {u"GetWindowRect", GetWindowRect},
    {u"GetWindowClientRect", GetWindowClientRect},
    {u"BringWindowToTop", BringWindowToTop},
};

}  // namespace

std::span<const UnitFunctionEntry> WindowFunctions() { return kWindowFunctions; }
