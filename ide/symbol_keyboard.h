// The strip of buttons that inserts Greek letters, powers, roots and subscripts at the caret.
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
