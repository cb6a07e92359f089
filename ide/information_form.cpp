#include "ide/information_form.h"
#include "engine/line_breaks.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

InformationForm::InformationForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint),
      row_(new QHBoxLayout),
      text_(new QTextEdit) {
  setObjectName(u"Form_Interface"_s);
  setAttribute(Qt::WA_ShowWithoutActivating);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  row_->setContentsMargins(0, 0, 0, 0);
  row_->addStretch(1);
  layout->addLayout(row_);
  text_->setReadOnly(true);
  cornerCheck_.setInterval(50);
  connect(&cornerCheck_, &QTimer::timeout, this, [this] {
    if (!isVisible() || ++cornerChecks_ > 10) {
      cornerCheck_.stop();
      cornerChecks_ = 0;
      return;
    }
    moveIntoCorner();
  });
  layout->addWidget(text_, 1);
}

void InformationForm::Show(const InformationContent& content, std::function<void(int)> clicked) {
  hide();
  clicked_ = std::move(clicked);
  rebuildRow(content.controls);
  if (content.fontSize > 0) {  // kept for the windows that follow
    QFont font = text_->font();
    font.setPointSize(content.fontSize);
    text_->setFont(font);
  }
  text_->setPlainText(WithLfLineBreaks(content.text));
  const bool inCorner = content.placement == QRect();
  // Sized to its text, the text needs no wrapping; in a given size it wraps at the window's edge.
  text_->setLineWrapMode(inCorner ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
  place(content.placement);
  show();
  raise();
  // The window manager adds its frame only once the window is mapped: the corner is corrected
  // when the frame is known.
  if (inCorner) cornerCheck_.start();
}

QRect InformationForm::workArea() const {
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void InformationForm::moveIntoCorner() {
  const QRect area = workArea();
  const QPoint corner(area.right() + 1 - frameGeometry().width(), area.bottom() + 1 - frameGeometry().height());
  if (frameGeometry().topLeft() != corner) move(corner);
}

void InformationForm::rebuildRow(const QList<InformationControl>& controls) {
  while (row_->count() > 1) delete row_->takeAt(0)->widget();
  for (qsizetype i = 0; i < controls.size(); ++i) {
    const InformationControl& c = controls[i];
    QAbstractButton* control = nullptr;
    if (c.kind == InformationControl::Kind::Button) {
      control = new QPushButton(c.caption);
      control->setObjectName(u"ButtonCaption%1"_s.arg(i));
    } else {
      control = new QCheckBox(c.caption);
      control->setObjectName(u"CheckBox%1"_s.arg(i));
      control->setChecked(c.checked);
    }
    // The caption's width plus one font height (a button) or two (a check box's mark), never
    // less than the style needs to show the whole caption.
    const QFontMetrics metrics = control->fontMetrics();
    const int margin = metrics.height() * (c.kind == InformationControl::Kind::Button ? 1 : 2);
    control->setFixedSize(std::max(control->sizeHint().width(), metrics.horizontalAdvance(c.caption) + margin), 25);
    if (c.kind == InformationControl::Kind::CheckBox) control->setContentsMargins(3, 0, 0, 0);
    connect(control, &QAbstractButton::clicked, this, [this, i] {
      if (clicked_) clicked_(int(i));
    });
    row_->insertWidget(int(i), control);
  }
}

void InformationForm::SetControlsEnabled(bool enabled) {
  for (int i = 0; i < row_->count(); ++i)
    if (QWidget* control = row_->itemAt(i)->widget()) control->setEnabled(enabled);
}

void InformationForm::place(const QRect& placement) {
  if (placement != QRect()) {
    move(placement.topLeft());
    resize(placement.size());
    return;
  }
  // Sized to the text (within the work area), in the bottom-right corner of the work area.
  const QRect area = workArea();
  // The text needs one font height more than its widest line and its last line's bottom; the
  // window grows around it and the row.
  const QFontMetrics metrics(text_->font());
  int widest = 0;
  const QStringList lines = text_->toPlainText().split(u'\n');
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int margins = 2 * (text_->frameWidth() + int(text_->document()->documentMargin()));
  const QSize needed(widest + metrics.height() + margins,
                     int(lines.size()) * metrics.lineSpacing() + metrics.height() + margins);
  text_->setFixedSize(needed.expandedTo(QSize(row_->sizeHint().width(), 0)).boundedTo(area.size()));
  adjustSize();
  text_->setMinimumSize(0, 0);  // the user may resize the window
  text_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  moveIntoCorner();
}
