#include "engine/line_text.h"

#include "engine/engine_state.h"
#include "engine/names.h"

QString StripComment(const QString& line) {
  bool inString = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == u'\'') {
      inString = !inString;
    } else if (!inString && (c == u'#' || c == u';')) {
      qsizetype end = i;
      while (end > 0 && line[end - 1] == u' ') --end;
      return line.left(end);
    }
  }
  return line;
}

int LineIndentOf(const QString& line) {
  const QString code = StripComment(line);
  if (TrimControl(code).isEmpty()) return -1;
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
