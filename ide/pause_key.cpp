#include "ide/pause_key.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <mutex>

bool PauseKeyDownNow() {
  // A connection of our own: Xlib calls on the window's connection belong to the GUI thread.
  static std::mutex mutex;
  static Display* display = nullptr;
  static bool tried = false;
  static KeyCode pause = 0;
  std::lock_guard lock(mutex);
  if (!tried) {
    tried = true;
    display = XOpenDisplay(nullptr);
    if (display) pause = XKeysymToKeycode(display, XK_Pause);
  }
  if (!display || pause == 0) return false;
  char keys[32];
  XQueryKeymap(display, keys);
  return (keys[pause / 8] >> (pause % 8)) & 1;
}
