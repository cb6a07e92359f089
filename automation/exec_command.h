// Running a command line and capturing its console output.
//
// Shell built-ins (the command interpreter's own commands and the POSIX shell built-ins) run
// through "/bin/sh -c"; ".cmd" and ".sh" files named without a folder are started with /bin/sh,
// detached; anything else is started directly, its command line split into words at blanks
// (double quotes group a word). A console program's standard output and standard error are
// collected together until it ends, in rounds of at most 100 ms during which the host handles
// its pending events.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Runs `command`. Errors (message 206 for a program that cannot be started, the file-start
// messages 191-204 for a ".cmd"/".sh" file, "CreatePipe Error") go to RaiseScriptError with the
// line reference; callers test ErrorText afterwards.
//  - showWindow: the window mode of a started file (0 hidden, 1 normal, 2 minimised,
//    3 maximised); programs started here get no window mode of ours.
//  - console: true to wait for the program and return its output in `output`; false to return
//    as soon as it has started (its output is discarded).
//  - top, left: the normal position of the window to look for after the start (9999 when none).
//  - timeoutMs: after starting a program that is not a shell built-in, the wait before the
//    window search; and for a console program, also the longest it may run: when it has not
//    ended `timeoutMs` after its start it is killed and the output gathered so far is
//    returned. 0 means no limit. The Pause key ends the wait the same way.
//  - className: when not empty, the window of that class at (left, top) is searched after the
//    wait; its handle (0 when none) is written into `output` as decimal text, before any
//    console output.
void ExecCommand(const QString& command, int showWindow, bool console, QString& output, int top,
                 int left, int timeoutMs, const QString& className);

// The first top-level X window of the class (WM_CLASS instance or class name) that is shown
// normally (not iconic, maximised or full screen), whose title does not begin with "Skype" and
// whose frame's top-left corner is at (left, top); 0 when there is none or no X display.
quint64 FindWindowByClassAndPosition(const QString& className, int left, int top);

// Forgets the last process and the last window found (start-up state).
void ResetCommandState();
// Handle of the window found by the last search of ExecCommand (0 at start).
quint64 LastFoundWindow();
// Process id of the last program ExecCommand started (0 when none).
qint64 LastProcessId();

// True when the first word of the command's program part names a shell built-in.
bool IsShellBuiltIn(const QString& command);

// Console output as text: valid UTF-8 sequences as UTF-8, every other byte as the character
// of the ANSI code page of the interface language.
QString DecodeConsoleOutput(const QByteArray& bytes);

// Upper bound of the output kept from one command; the rest is read and dropped.
inline constexpr qsizetype kMaxCommandOutputBytes = 16 * 1024 * 1024;
