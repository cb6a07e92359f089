// The script the numeric-program tests run: `setUp`, then `r = expression` four times. The
// first pass goes the general way (r1 keeps its value), the later ones by the program.
#pragma once

#include <QStringList>

inline QStringList ProgramPasses(const QStringList& setUp, const QString& expression) {
  QStringList lines = setUp;
  lines << QStringLiteral("FOR k = 1,4") << QStringLiteral("  r = ") + expression << QStringLiteral("  IF k = 1")
        << QStringLiteral("    r1 = r");
  return lines;
}
