// The narrow strip beside the editor that shows where the breakpoints, bookmarks and the
// current-line marker lie in the whole script; a click scrolls the editor there.
#pragma once

#include <QWidget>

class ScriptEditor;

class MarkerStrip : public QWidget {
  Q_OBJECT

 public:
  MarkerStrip(ScriptEditor* editor, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {15, 100}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  ScriptEditor* editor_;
};
