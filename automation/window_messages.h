// Window messages acted out on X windows. Scripts written for another desktop send message
// numbers; the ones that make sense here are carried out with the window's properties, the
// window manager and synthetic input, every other message answers 0 and does nothing.
#pragma once

#include <QString>
#include <QtGlobal>

#include "automation/x11_display.h"

struct MessageParameter {
  qint64 number = 0;
  QString text;  // the text of a string argument
  bool isText = false;
};

// What the window answers (0 for messages that have no meaning here).
qint64 ActOnWindowMessage(XWindow window, qint64 message, const MessageParameter& wParam,
                          const MessageParameter& lParam);
// Only the messages acted out with keys (characters, key presses, cut, copy, paste, clear,
// select all), on whatever has the window's focus.
qint64 ActOnFocusedWindowMessage(XWindow window, qint64 message, const MessageParameter& wParam,
                                 const MessageParameter& lParam);
