#include "automation/x11_windows.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

// Xlib last: its macros (Status, Bool, None, ...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

Display* Dpy() { return XDisplayOrNull(); }

// Calls use(format, count, data) with a property's contents when the window has it.
template <typename Use>
void WithProperty(XWindow window, const char* name, unsigned long type, Use use) {
  Atom actualType = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(Dpy(), window, XAtom(name), 0, 1 << 16, False, type, &actualType, &format, &count,
                         &after, &data) == Success &&
      data)
    use(format, count, data);
  if (data) XFree(data);
  TakeXError();
}

// One property as a list of 32-bit items (longs, as Xlib hands them out).
std::vector<unsigned long> LongProperty(XWindow window, const char* name, unsigned long type) {
  std::vector<unsigned long> items;
  WithProperty(window, name, type, [&](int format, unsigned long count, unsigned char* data) {
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    if (format == 32) items.assign(values, values + count);
  });
  return items;
}

QByteArray ByteProperty(XWindow window, const char* name, unsigned long type) {
  QByteArray bytes;
  WithProperty(window, name, type, [&](int format, unsigned long count, unsigned char* data) {
    if (format == 8) bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(count));
  });
  return bytes;
}

std::vector<XWindow> QueryChildren(XWindow parent) {
  std::vector<XWindow> children;
  Window root = 0, parentOut = 0;
  Window* list = nullptr;
  unsigned int count = 0;
  if (XQueryTree(Dpy(), parent, &root, &parentOut, &list, &count) && list) {
    children.assign(list, list + count);
    XFree(list);
  }
  TakeXError();
  std::reverse(children.begin(), children.end());  // XQueryTree lists bottom to top
  return children;
}

bool HasWmState(XWindow window) {
  bool found = false;
  WithProperty(window, "WM_STATE", AnyPropertyType, [&](int, unsigned long, unsigned char*) { found = true; });
  return found;
}

bool WindowManagerRunning() { return !LongProperty(XRoot(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty(); }

void SendRootMessage(XWindow window, const char* type, std::initializer_list<long> data) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XAtom(type);
  event.xclient.format = 32;
  int i = 0;
  for (long value : data) event.xclient.data.l[i++] = value;
  XSendEvent(Dpy(), XRoot(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(Dpy());
}

XWindow FocusedTopLevel() {
  const auto active = LongProperty(XRoot(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  if (!active.empty() && active[0]) return active[0];
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(Dpy(), &focus, &revert);
  return focus;
}

// _NET_FRAME_EXTENTS: left, right, top, bottom.
QMargins FrameExtents(XWindow window) {
  const auto e = LongProperty(window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  if (e.size() < 4) return {};
  return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
}

}  // namespace

std::vector<XWindow> TopLevelWindows() {
  std::vector<XWindow> windows = LongProperty(XRoot(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
  if (windows.empty()) windows = LongProperty(XRoot(), "_NET_CLIENT_LIST", XA_WINDOW);
  if (!windows.empty()) {
    std::reverse(windows.begin(), windows.end());
    return windows;
  }
  for (XWindow child : QueryChildren(XRoot())) {
    if (HasWmState(child)) {
      windows.push_back(child);
      continue;
    }
    for (XWindow inner : QueryChildren(child))  // a frame around the client
      if (HasWmState(inner)) windows.push_back(inner);
  }
  return windows;
}

std::vector<XWindow> ChildWindows(XWindow parent) { return parent ? QueryChildren(parent) : TopLevelWindows(); }

XWindow ParentWindow(XWindow window) {
  Window root = 0, parent = 0;
  Window* list = nullptr;
  unsigned int count = 0;
  const bool ok = XQueryTree(Dpy(), window, &root, &parent, &list, &count);
  if (list) XFree(list);
  TakeXError();
  return ok && parent != root ? parent : 0;
}

QStringList WindowClassNames(XWindow window) {
  const QByteArray bytes = ByteProperty(window, "WM_CLASS", XA_STRING);
  QStringList names;
  for (const QByteArray& part : bytes.split('\0'))
    if (!part.isEmpty()) names << QString::fromLocal8Bit(part);
  return names;
}

bool WindowHasClass(XWindow window, const QString& className) {
  return WindowClassNames(window).contains(className, Qt::CaseInsensitive);
}

QString WindowTitle(XWindow window) {
  const QByteArray utf8 = ByteProperty(window, "_NET_WM_NAME", XAtom("UTF8_STRING"));
  if (!utf8.isEmpty()) return QString::fromUtf8(utf8);
  return QString::fromLatin1(ByteProperty(window, "WM_NAME", AnyPropertyType));
}

bool SetWindowTitle(XWindow window, const QString& title) {
  const QByteArray utf8 = title.toUtf8();
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.constData());
  XChangeProperty(Dpy(), window, XAtom("_NET_WM_NAME"), XAtom("UTF8_STRING"), 8, PropModeReplace, bytes,
                  int(utf8.size()));
  XChangeProperty(Dpy(), window, XAtom("WM_NAME"), XAtom("UTF8_STRING"), 8, PropModeReplace, bytes,
                  int(utf8.size()));
  return !TakeXError();
}

bool WindowExists(XWindow window) {
  if (!window) return false;
  XWindowAttributes attributes;
  const bool ok = XGetWindowAttributes(Dpy(), window, &attributes) != 0;
  return !TakeXError() && ok;
}

qint64 WindowProcessId(XWindow window) {
  const auto pid = LongProperty(window, "_NET_WM_PID", XA_CARDINAL);
  return pid.empty() ? 0 : qint64(pid[0]);
}

std::optional<QRect> WindowRect(XWindow window, bool withFrame) {
  XWindowAttributes attributes;
  if (!window || !XGetWindowAttributes(Dpy(), window, &attributes) || TakeXError()) return std::nullopt;
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(Dpy(), window, XRoot(), 0, 0, &x, &y, &child);
  if (TakeXError()) return std::nullopt;
  const QRect client(x, y, attributes.width, attributes.height);
  return withFrame ? client.marginsAdded(FrameExtents(window)) : client;
}

bool WindowShownNormal(XWindow window) {
  const auto state = LongProperty(window, "WM_STATE", XAtom("WM_STATE"));
  if (state.empty() || state[0] != NormalState) return false;
  for (unsigned long atom : LongProperty(window, "_NET_WM_STATE", XA_ATOM))
    if (atom == XAtom("_NET_WM_STATE_MAXIMIZED_VERT") || atom == XAtom("_NET_WM_STATE_MAXIMIZED_HORZ") ||
        atom == XAtom("_NET_WM_STATE_FULLSCREEN") || atom == XAtom("_NET_WM_STATE_HIDDEN"))
      return false;
  return true;
}

bool ActivateWindow(XWindow window) {
  if (!WindowExists(window)) return false;
  if (WindowManagerRunning()) {
    SendRootMessage(window, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
  } else {
    XRaiseWindow(Dpy(), window);
    XSetInputFocus(Dpy(), window, RevertToParent, CurrentTime);
    XFlush(Dpy());
  }
  // The window manager hands the focus over asynchronously; keys sent before it arrives
  // would go to the window that had it.
  QElapsedTimer waited;
  waited.start();
  while (FocusedTopLevel() != window && waited.elapsed() < 1000) QThread::msleep(10);
  return !TakeXError();
}

bool RaiseWindow(XWindow window) {
  if (!WindowExists(window)) return false;
  if (WindowManagerRunning()) SendRootMessage(window, "_NET_RESTACK_WINDOW", {2, 0, Above});
  XRaiseWindow(Dpy(), window);
  return !TakeXError();
}

bool CloseWindow(XWindow window) {
  if (!WindowExists(window)) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XAtom("WM_PROTOCOLS");
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XAtom("WM_DELETE_WINDOW"));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(Dpy(), window, False, NoEventMask, &event);
  return !TakeXError();
}

void PlaceWindow(XWindow window, XWindow insertAfter, const QRect& outer, unsigned flags) {
  if (!WindowExists(window)) return;
  if (flags & kSwpHideWindow) XUnmapWindow(Dpy(), window);
  if (flags & kSwpShowWindow) XMapWindow(Dpy(), window);
  const bool move = !(flags & kSwpNoMove), size = !(flags & kSwpNoSize);
  if (move || size) {
    const QMargins frame = FrameExtents(window);
    const int width = std::max(1, outer.width() - frame.left() - frame.right());
    const int height = std::max(1, outer.height() - frame.top() - frame.bottom());
    if (WindowManagerRunning()) {
      // NorthWest gravity: the position is the frame's outer corner, as on Windows.
      const long present = (move ? (1 << 8) | (1 << 9) : 0) | (size ? (1 << 10) | (1 << 11) : 0);
      SendRootMessage(window, "_NET_MOVERESIZE_WINDOW",
                      {NorthWestGravity | present | (2 << 12), outer.x(), outer.y(), width, height});
    } else {
      XWindowChanges changes{};
      changes.x = outer.x();
      changes.y = outer.y();
      changes.width = width;
      changes.height = height;
      XConfigureWindow(Dpy(), window, (move ? CWX | CWY : 0) | (size ? CWWidth | CWHeight : 0), &changes);
    }
  }
  if (!(flags & kSwpNoZOrder)) {
    if (insertAfter == 0) {
      RaiseWindow(window);
    } else if (insertAfter == 1) {
      XLowerWindow(Dpy(), window);
    } else {
      XWindowChanges changes{};
      changes.sibling = insertAfter;
      changes.stack_mode = Below;
      XReconfigureWMWindow(Dpy(), window, DefaultScreen(Dpy()), CWSibling | CWStackMode, &changes);
    }
  }
  XFlush(Dpy());
  TakeXError();
}
