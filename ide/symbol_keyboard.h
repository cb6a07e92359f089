// The strip of buttons that inserts Greek letters, powers, roots and subscripts at the caret.
// The buttons wrap into as many rows as the editor's width needs, so the strip never widens
// the window; clicking one leaves the keyboard focus in the editor.
#pragma once

#include <QWidget>

class QsciScintilla;

class SymbolKeyboard : public QWidget {
  Q_OBJECT

 public:
  SymbolKeyboard(QsciScintilla* editor, QWidget* parent = nullptr);
  static const QString& Symbols();

 Q_SIGNALS:
  void closed();
};
