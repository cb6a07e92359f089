#include "ide/compositing_check.h"

// Xlib only: its macros (None, Status, ...) clash with Qt's headers.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

bool CompositingManagerRuns() {
  if (!std::getenv("DISPLAY")) return false;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  char selection[32];
  std::snprintf(selection, sizeof selection, "_NET_WM_CM_S%d", DefaultScreen(display));
  const bool owned = XGetSelectionOwner(display, XInternAtom(display, selection, False)) != None;
  XCloseDisplay(display);
  return owned;
}
