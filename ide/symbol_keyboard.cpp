#include "ide/symbol_keyboard.h"

#include <Qsci/qsciscintilla.h>

#include <QHBoxLayout>
#include <QToolButton>

const QString& SymbolKeyboard::Symbols() {
  static const QString symbols = QStringLiteral("αβγδεζηθικλμνξοπρςστυφχψωΛΔΣΩ²³√∛∜₀₁₂₃₄₅₆₇₈₉");
  return symbols;
}

SymbolKeyboard::SymbolKeyboard(QsciScintilla* editor, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  const QFont font(QStringLiteral("Tahoma"), 13);
  for (const QChar c : Symbols()) {
    auto* button = new QToolButton;
    button->setText(QString(c));
    button->setFont(font);
    button->setObjectName(QStringLiteral("symbol_") + QString::number(c.unicode()));
    connect(button, &QToolButton::clicked, this, [editor, c] {
      int line = 0, index = 0;
      editor->getCursorPosition(&line, &index);
      editor->setSelection(line, index, line, index);  // the selection shrinks to the caret
      editor->insert(QString(c));
      editor->setCursorPosition(line, index + 1);
      if (QWidget* top = editor->window()) top->setFocus();
    });
    layout->addWidget(button);
  }
  layout->addStretch(1);
  auto* close = new QToolButton;
  close->setText(QStringLiteral("✕"));
  close->setObjectName(QStringLiteral("symbol_close"));
  connect(close, &QToolButton::clicked, this, [this] {
    hide();
    Q_EMIT closed();
  });
  layout->addWidget(close);
}
