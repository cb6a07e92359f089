// The soffice process behind the spreadsheet functions: where LibreOffice is installed, how a
// private instance is started (its own profile, a named pipe for UNO), and finding and ending
// the process that listens on a pipe. Knows nothing of UNO.
#pragma once

#include <QList>
#include <QString>

// The pipe name of the instance the program starts and Excel_Connect attaches to; a test sets
// its own so that parallel test programs do not meet.
QString CalcPipeName();
void SetCalcPipeName(const QString& name);

// The soffice program, empty when LibreOffice is not installed.
QString CalcProgram();
// "7.4" for LibreOffice 7.4.x: what a profile records as its last version; empty when unknown.
QString CalcVersion();
// True when soffice must run without windows: no display, or no graphical front end installed
// (the no-GUI package).
bool CalcMustBeHeadless();

// The --accept argument that makes soffice listen on the pipe.
QString CalcAcceptArgument(const QString& pipeName);
// Writes a registrymodifications.xcu naming the installed version as the last one run, so that
// a fresh profile starts in about a second instead of running its first-start self-test.
bool SeedCalcProfile(const QString& profileFolder);

// Starts soffice detached with a private profile in `profileFolder`, listening on the pipe.
// False with `error` set when it cannot be started.
bool StartCalcProcess(const QString& pipeName, const QString& profileFolder, bool headless,
                      QString& error);

// Process ids whose command line holds the --accept argument of the pipe (the launcher and the
// office process), from a /proc snapshot.
QList<qint64> ProcessesAcceptingPipe(const QString& pipeName);
// Ends those processes (SIGKILL) and waits up to `waitMs` for them to be gone.
void EndProcessesAcceptingPipe(const QString& pipeName, int waitMs = 3000);
