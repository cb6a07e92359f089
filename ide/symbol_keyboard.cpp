#include "ide/symbol_keyboard.h"

#include <Qsci/qsciscintilla.h>

#include <QHBoxLayout>
#include <QLayout>
#include <QToolButton>

#include <algorithm>

namespace {

// Lays its items out left to right and starts a new row where the next item would not fit;
// its height follows from the width it gets.
class WrappingRowLayout : public QLayout {
 public:
  explicit WrappingRowLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(1);
  }
  ~WrappingRowLayout() override {
    while (QLayoutItem* item = takeAt(0)) delete item;
  }

  void addItem(QLayoutItem* item) override { items_.append(item); }
  int count() const override { return int(items_.size()); }
  QLayoutItem* itemAt(int index) const override { return items_.value(index); }
  QLayoutItem* takeAt(int index) override {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
  }
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
  void setGeometry(const QRect& rect) override {
    QLayout::setGeometry(rect);
    place(rect, true);
  }
  QSize sizeHint() const override { return minimumSize(); }
  // One item wide: the rows take whatever width there is.
  QSize minimumSize() const override {
    QSize size;
    for (const QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
    return size;
  }

 private:
  // Places the items in rows within `rect` (only measures unless `apply`); the height used.
  int place(const QRect& rect, bool apply) const {
    int x = rect.x(), y = rect.y(), rowHeight = 0;
    for (QLayoutItem* item : items_) {
      const QSize size = item->sizeHint();
      if (x > rect.x() && x + size.width() > rect.right() + 1) {
        x = rect.x();
        y += rowHeight + spacing();
        rowHeight = 0;
      }
      if (apply) item->setGeometry(QRect(QPoint(x, y), size));
      x += size.width() + spacing();
      rowHeight = std::max(rowHeight, size.height());
    }
    return y + rowHeight - rect.y();
  }

  QList<QLayoutItem*> items_;
};

QToolButton* KeyButton(const QString& text, const QString& name) {
  auto* button = new QToolButton;
  button->setText(text);
  button->setObjectName(name);
  button->setFocusPolicy(Qt::NoFocus);  // the typing goes on in the editor
  return button;
}

}  // namespace

const QString& SymbolKeyboard::Symbols() {
  static const QString symbols = QStringLiteral("αβγδεζηθικλμνξοπρςστυφχψωΛΔΣΩ²³√∛∜₀₁₂₃₄₅₆₇₈₉");
  return symbols;
}

SymbolKeyboard::SymbolKeyboard(QsciScintilla* editor, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  auto* keys = new QWidget;
  auto* rows = new WrappingRowLayout(keys);
  const QFont font(QStringLiteral("Tahoma"), 13);
  for (const QChar c : Symbols()) {
    QToolButton* button = KeyButton(QString(c), QStringLiteral("symbol_") + QString::number(c.unicode()));
    button->setFont(font);
    connect(button, &QToolButton::clicked, this, [editor, c] {
      int line = 0, index = 0;
      editor->getCursorPosition(&line, &index);
      editor->setSelection(line, index, line, index);  // the selection shrinks to the caret
      editor->insert(QString(c));
      editor->setCursorPosition(line, index + 1);
      editor->setFocus();
    });
    rows->addWidget(button);
  }
  layout->addWidget(keys, 1);
  QToolButton* close = KeyButton(QStringLiteral("✕"), QStringLiteral("symbol_close"));
  connect(close, &QToolButton::clicked, this, [this] {
    hide();
    Q_EMIT closed();
  });
  layout->addWidget(close, 0, Qt::AlignTop);
}
