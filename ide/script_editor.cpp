#include "ide/script_editor.h"

#include <QKeyEvent>

namespace {
constexpr int kNumberMargin = 0;
constexpr int kMarkMargin = 1;
}  // namespace

ScriptEditor::ScriptEditor(QWidget* parent) : QsciScintilla(parent) {
  setUtf8(true);
  setFont(QFont(QStringLiteral("Courier New"), 10));
  // Line numbers are written into a text margin so that they can start at 0, the number the
  // run control and the messages use.
  setMarginType(kNumberMargin, TextMarginRightJustified);
  setMarginWidth(kNumberMargin, QStringLiteral("00000"));
  setMarginType(kMarkMargin, SymbolMargin);
  setMarginWidth(kMarkMargin, 16);
  setMarginSensitivity(kNumberMargin, true);
  setMarginSensitivity(kMarkMargin, true);
  markerDefine(Circle, BreakpointMarker);
  setMarkerBackgroundColor(Qt::red, BreakpointMarker);
  markerDefine(RightArrow, CurrentLineMarker);
  setMarkerBackgroundColor(QColor(255, 200, 0), CurrentLineMarker);
  for (int d = 0; d < 10; ++d) markerDefine(Rectangle, FirstBookmark + d);
  setIndentationsUseTabs(false);
  setTabWidth(2);
  setAutoIndent(true);
  connect(this, &QsciScintilla::marginClicked, this, [this](int, int line, Qt::KeyboardModifiers m) {
    Q_EMIT gutterClicked(line, m.testFlag(Qt::ControlModifier));
  });
  connect(this, &QsciScintilla::linesChanged, this, &ScriptEditor::renumber);
  renumber();
}

void ScriptEditor::renumber() {
  clearMarginText();
  for (int i = 0; i < QsciScintilla::lines(); ++i) setMarginText(i, QString::number(i), STYLE_LINENUMBER);
}

void ScriptEditor::setLines(const QStringList& lines) {
  const QList<QPair<int, int>> kept = marks();
  const bool readOnly = isReadOnly();
  setReadOnly(false);
  setText(lines.join(QLatin1Char('\n')));
  setReadOnly(readOnly);
  renumber();
  restoreMarks(kept);
}

QList<QPair<int, int>> ScriptEditor::marks() const {
  QList<QPair<int, int>> all;
  for (int marker : {int(BreakpointMarker), int(CurrentLineMarker)})
    for (int line : markedLines(Marker(marker))) all.append({marker, line});
  for (int d = 0; d < 10; ++d)
    if (const int line = bookmarkLine(d); line >= 0) all.append({FirstBookmark + d, line});
  return all;
}

void ScriptEditor::restoreMarks(const QList<QPair<int, int>>& marks) {
  markerDeleteAll();
  for (const auto& [marker, line] : marks)
    if (line >= 0 && line < QsciScintilla::lines()) markerAdd(line, marker);
  Q_EMIT marksChanged();
}

QStringList ScriptEditor::lines() const {
  QString t = text();
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t.split(QLatin1Char('\n'));
}

bool ScriptEditor::hasBreakpoint(int line) const {
  return line >= 0 && (markersAtLine(line) & (1u << BreakpointMarker));
}

void ScriptEditor::toggleBreakpoint(int line) {
  if (hasBreakpoint(line)) markerDelete(line, BreakpointMarker);
  else markerAdd(line, BreakpointMarker);
  Q_EMIT marksChanged();
}

void ScriptEditor::setCurrentLineMark(int line) {
  markerDeleteAll(CurrentLineMarker);
  if (line >= 0 && line < QsciScintilla::lines()) {
    markerAdd(line, CurrentLineMarker);
    ensureLineVisible(line);
  }
  Q_EMIT marksChanged();
}

int ScriptEditor::currentLineMark() const {
  const QList<int> marks = markedLines(CurrentLineMarker);
  return marks.isEmpty() ? -1 : marks.first();
}

QList<int> ScriptEditor::markedLines(Marker marker) const {
  QList<int> found;
  for (int line = markerFindNext(0, 1u << marker); line >= 0; line = markerFindNext(line + 1, 1u << marker))
    found.append(line);
  return found;
}

void ScriptEditor::setBookmark(int digit, int line) {
  markerDeleteAll(FirstBookmark + digit);
  markerAdd(line, FirstBookmark + digit);
  Q_EMIT marksChanged();
}

int ScriptEditor::bookmarkLine(int digit) const {
  return markerFindNext(0, 1u << (FirstBookmark + digit));
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
  // Ctrl+Shift+digit sets a numbered bookmark, Ctrl+digit jumps to it.
  const Qt::KeyboardModifiers m = event->modifiers();
  int key = event->key();
  // With Shift the key reports the shifted symbol; the digit row's scan codes (X11 keycodes
  // 10..19 for 1..9, 0) name the digit whatever the layout.
  const quint32 scan = event->nativeScanCode();
  if (m.testFlag(Qt::ShiftModifier) && scan >= 10 && scan <= 19) key = scan == 19 ? Qt::Key_0 : int(Qt::Key_1 + (scan - 10));
  if (m.testFlag(Qt::ControlModifier) && key >= Qt::Key_0 && key <= Qt::Key_9) {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    const int digit = key - Qt::Key_0;
    if (m.testFlag(Qt::ShiftModifier)) {
      setBookmark(digit, line);
    } else if (const int target = bookmarkLine(digit); target >= 0) {
      setCursorPosition(target, 0);
      ensureLineVisible(target);
    }
    return;
  }
  QsciScintilla::keyPressEvent(event);
}
