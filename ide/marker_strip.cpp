#include "ide/marker_strip.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ide/editor_colours.h"
#include "ide/script_editor.h"

MarkerStrip::MarkerStrip(ScriptEditor* editor, QWidget* parent) : QWidget(parent), editor_(editor) {
  setFixedWidth(15);
  connect(editor, &ScriptEditor::marksChanged, this, qOverload<>(&QWidget::update));
}

void MarkerStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool dark = IsDarkPalette(palette());
  p.fillRect(rect(), EditorColourOf(EditorColour::WorkGutter, dark));
  const int lines = editor_->lines().size();
  if (lines <= 4) return;
  const double k = double(height()) / lines;
  const auto y = [k](int line) { return int(std::nearbyint((line + 1) * k)); };
  for (int line : editor_->markedLines(ScriptEditor::BreakpointMarker))
    p.fillRect(0, y(line) - 1, width(), 3, Qt::red);
  for (int d = 0; d < 10; ++d)
    if (const int line = editor_->bookmarkLine(d); line >= 0)
      p.fillRect(0, y(line) - 4, 8, 9, EditorColourOf(EditorColour::Text, dark));
  if (const int line = editor_->currentLineMark(); line >= 0) {
    p.fillRect(8, y(line) - 4, 8, 9, Qt::red);
    p.fillRect(10, y(line) - 2, 4, 5, Qt::yellow);
  }
}

void MarkerStrip::mousePressEvent(QMouseEvent* event) {
  const int lines = editor_->lines().size();
  if (lines == 0 || height() == 0) return;
  const int line = std::clamp(int(std::nearbyint(double(lines) * event->position().y() / height())) - 1, 0, lines - 1);
  editor_->setCursorPosition(line, 0);
  editor_->ensureLineVisible(line);
}
