#include "engine/line_text.h"

#include "engine/engine_state.h"
#include "engine/names.h"

namespace {

// Where the code part of the line ends (before the blanks that precede a comment).
qsizetype CodeEnd(const QString& line) {
  bool inString = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == u'\'') {
      inString = !inString;
    } else if (!inString && (c == u'#' || c == u';')) {
      qsizetype end = i;
      while (end > 0 && line[end - 1] == u' ') --end;
      return end;
    }
  }
  return line.size();
}

}  // namespace

QString StripComment(const QString& line) {
  const qsizetype end = CodeEnd(line);
  return end == line.size() ? line : line.left(end);
}

QStringView CodeOf(const QString& line) {
  qsizetype from = 0, to = CodeEnd(line);
  while (from < to && IsTrimmable(line[from])) ++from;
  while (to > from && IsTrimmable(line[to - 1])) --to;
  return QStringView(line).mid(from, to - from);
}

int LineIndentOf(const QString& line) {
  const QStringView code = QStringView(line).left(CodeEnd(line));
  if (CodeOf(line).isEmpty()) return -1;
  int spaces = 0;
  while (spaces < code.size() && code[spaces] == u' ') ++spaces;
  return code[spaces] == u'>' ? -1 : spaces;
}

void JoinContinuations() {
  EngineState& e = Engine();
  const int lastLine = int(e.ScriptLines.size()) - 1;
  for (int n = e.CurrentLine + 1; n < lastLine; ++n) {
    const QString code = TrimControl(StripComment(e.ScriptLines[n]));
    if (code.isEmpty()) continue;
    if (code[0] != u'>') break;
    e.CurrentLineText += StripComment(code.mid(1));
  }
}
