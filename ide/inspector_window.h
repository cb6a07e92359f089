// The window inspector: a tool window that follows the pointer over the desktop and shows the
// control under it as a script reaches it (its FindWindow path, class, title, handle,
// rectangle, role, actions and the window's menu tree), frames it with the highlight overlay,
// and copies the path or writes a FindWindow line into the editor.
#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

#include "automation/window_inspector.h"

class QLabel;
class QPlainTextEdit;
class QMenu;
class ScriptEditor;

class InspectorWindow : public QWidget {
  Q_OBJECT

 public:
  InspectorWindow(ScriptEditor* editor, QWidget* parent);
  const InspectedControl& shown() const { return shown_; }
  // Looks at a screen point now (the timer does this for the pointer).
  void inspectAt(const QPoint& point);
  // The line the insert button writes: h = FindWindow('path').
  QString findWindowLine() const;
  // Writes that line above the editor's current line (the insert button).
  void insertIntoEditor();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void followPointer();
  void copyPath();

  ScriptEditor* editor_;
  QTimer timer_;
  QPoint lastPoint_{-1, -1};
  InspectedControl shown_;
  QLabel* fields_;
  QPlainTextEdit* menuTree_;
};

// Adds "Window inspector" (Ctrl+Shift+I) to the menu and to the window, opening the inspector.
void AddWindowInspectorItem(QMenu* menu, QWidget* window, ScriptEditor* editor);
