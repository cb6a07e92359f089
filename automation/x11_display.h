// The program's own connection to the X server, shared by the window, input and cursor
// functions. It is opened on first use; without a display every caller gets a clear error.
#pragma once

#include <QString>
#include <QStringList>

typedef struct _XDisplay Display;
typedef unsigned long XWindow;  // an X window id (Xlib's Window)

// The open connection, or nullptr when DISPLAY names no reachable X server.
Display* XDisplayOrNull();
// The connection; when there is none, raises the bilingual "no X display" error and returns
// nullptr (callers then return without a result).
Display* RequireXDisplay();
// The error raised when there is no X display, in the interface language.
QString NoDisplayText();

// An atom by name (created when missing).
unsigned long XAtom(const char* name);
// The root window of the default screen.
XWindow XRoot();

// True when an X request since the last call failed (BadWindow and the like). The program's
// error handler records errors instead of ending the program.
bool TakeXError();
