// Synthetic keyboard and mouse input through XTest, and the pointer's cursor shape through
// XFixes. Events go to whichever window has the focus or lies under the pointer, as real input
// would. Every function needs an open display (XDisplayOrNull).
#pragma once

#include <QPoint>
#include <QString>

// The keysym of a Windows virtual-key code (0 when the code has none).
unsigned long VirtualKeyToKeysym(int virtualKey);
// Presses or releases the key of a virtual-key code; false when the code has no key here.
bool SendVirtualKey(int virtualKey, bool down);
// Types the characters of `text`, with Shift where a character needs it; characters the
// keyboard map lacks are typed through a spare key code.
void TypeText(const QString& text);

// Windows mouse-input flags (MOUSEEVENTF_*) and this program's double click.
inline constexpr unsigned kMouseMove = 0x0001, kMouseDoubleClick = 0x10000;
// Sends the button event of one mouse-input flag (left/right/middle/X down or up) at the
// pointer; flags without a button event (wheel without amount, absolute, ...) do nothing.
void SendMouseFlag(unsigned flag);
void MovePointer(const QPoint& screenPoint);
QPoint PointerPosition();
void LeftClick();
// Two left clicks a moment apart, well within any double-click time.
void DoubleClick();
// A number that identifies the pointer's current cursor shape (the XFixes cursor serial).
unsigned long PointerCursorShape();
