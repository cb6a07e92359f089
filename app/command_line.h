// The program's command line before any window or run: which start it asks for, and the usage
// and version texts.
#pragma once

#include <QString>
#include <QStringList>

enum class StartKind { Window, Console, Help, Version, UsageError };

struct StartChoice {
  StartKind kind = StartKind::Window;
  QString problem;  // for UsageError: what is wrong
};

// `args` are the arguments after the program's name. Options ("--" words) are read up to the
// first other word (a value an option takes is skipped): the script and its parameters follow
// and belong to the script, whatever they look like. "--console" anywhere keeps console mode;
// the options of console mode without it are a usage error.
StartChoice ChooseStart(const QStringList& args);

// The usage text (--help prints it to stdout, a usage error to stderr).
QString UsageText();
// "tressaly " and the project's version.
QString VersionText();
// Writes "tressaly: PROBLEM" and the usage text to stderr; returns 2, the usage error status.
int ReportUsageError(const QString& problem);
