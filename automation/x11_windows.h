// Windows of the X server as the automation functions see them: the client (top-level) windows
// and their X child windows, their class and title, rectangles, stacking, focus and closing.
// Every function needs an open display (XDisplayOrNull); a window that no longer exists gives
// an empty answer, never an error.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "automation/x11_display.h"

// The client windows, topmost first: the window manager's stacking list when there is one, else
// the windows with WM_STATE found under the root (directly or inside a frame).
std::vector<XWindow> TopLevelWindows();
// The children of `parent` (the top-level windows for 0), topmost first.
std::vector<XWindow> ChildWindows(XWindow parent);

// The parent of an X window (0 for the root and its direct children).
XWindow ParentWindow(XWindow window);

// WM_CLASS as {instance name, class name}; empty when the window has none.
QStringList WindowClassNames(XWindow window);
// True when `className` is the instance or the class name (compared without regard to case).
bool WindowHasClass(XWindow window, const QString& className);
// _NET_WM_NAME, else WM_NAME.
QString WindowTitle(XWindow window);
bool SetWindowTitle(XWindow window, const QString& title);
bool WindowExists(XWindow window);
// The process that owns the window (_NET_WM_PID), 0 when it does not say.
qint64 WindowProcessId(XWindow window);
// The window in screen coordinates: with the window manager's frame, or the client area only.
std::optional<QRect> WindowRect(XWindow window, bool withFrame);
// True when the window is mapped and in the normal state (not iconic, maximised or full screen).
bool WindowShownNormal(XWindow window);

// Makes the window the active one (_NET_ACTIVE_WINDOW, else raise and focus) and waits a little
// for the focus to arrive.
bool ActivateWindow(XWindow window);
bool RaiseWindow(XWindow window);
// Asks the window to close (WM_DELETE_WINDOW), as its close button would.
bool CloseWindow(XWindow window);

// Win32 SetWindowPos flags that mean something here.
inline constexpr unsigned kSwpNoSize = 0x0001, kSwpNoMove = 0x0002, kSwpNoZOrder = 0x0004,
                          kSwpNoActivate = 0x0010, kSwpShowWindow = 0x0040, kSwpHideWindow = 0x0080;
// Moves, sizes and restacks a window; `outer` is the rectangle with the frame. `insertAfter`
// 0 puts it on top, 1 at the bottom, another window puts it just below that one.
void PlaceWindow(XWindow window, XWindow insertAfter, const QRect& outer, unsigned flags);
