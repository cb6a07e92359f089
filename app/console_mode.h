// Console mode: runs a script without any window (the interface the tests use).
#pragma once

#include <QStringList>

// `args` are the program's arguments after its name. Returns the exit status:
// 0 clean end, 1 stopped by an error (or a dump cut short for want of memory), 2 usage error or
// script not found, 130 Ctrl+C.
int RunConsoleMode(const QStringList& args);

// A name or cell of the dump: CR, LF, TAB and backslash written as \r, \n, \t, \\.
QString EscapeDumpText(const QString& text);
