#include "ide/inspector_window.h"

#include <unistd.h>

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "automation/x11_display.h"
#include "engine/local_texts.h"
#include "ide/script_editor.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPollMs = 300;
constexpr int kHighlightBlinks = 2;

QString FieldsText(const InspectedControl& c) {
  if (!c.handle) return Bilingual(u"Move the pointer over a window of another program.",
                                  u"Наведите указатель на окно другой программы.");
  const QString none = u"—"_s;
  return Bilingual(u"Path: %1\nClass: %2\nTitle: %3\nHandle: %4\nRectangle: %5, %6, %7 × %8\nRole: %9\nActions: %10",
                   u"Путь: %1\nКласс: %2\nЗаголовок: %3\nДескриптор: %4\nПрямоугольник: %5, %6, %7 × %8\nРоль: %9\nДействия: %10")
      .arg(c.path.isEmpty() ? none : c.path, c.className, c.title)
      .arg(c.handle)
      .arg(c.rect.x())
      .arg(c.rect.y())
      .arg(c.rect.width())
      .arg(c.rect.height())
      .arg(c.role, c.actions.isEmpty() ? none : c.actions.join(u", "_s));
}

}  // namespace

InspectorWindow::InspectorWindow(ScriptEditor* editor, QWidget* parent)
    : QWidget(parent, Qt::Tool), editor_(editor) {
  setWindowTitle(Bilingual(u"Window inspector", u"Инспектор окон"));
  fields_ = new QLabel;
  fields_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  fields_->setWordWrap(true);
  menuTree_ = new QPlainTextEdit;
  menuTree_->setReadOnly(true);
  menuTree_->setPlaceholderText(Bilingual(u"(no menu)", u"(нет меню)"));
  auto* copy = new QPushButton(Bilingual(u"Copy path", u"Копировать путь"));
  auto* insert = new QPushButton(Bilingual(u"Insert FindWindow", u"Вставить FindWindow"));
  connect(copy, &QPushButton::clicked, this, &InspectorWindow::copyPath);
  connect(insert, &QPushButton::clicked, this, &InspectorWindow::insertIntoEditor);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy);
  buttons->addWidget(insert);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fields_);
  layout->addWidget(new QLabel(Bilingual(u"Menu of the window:", u"Меню окна:")));
  layout->addWidget(menuTree_, 1);
  layout->addLayout(buttons);
  resize(420, 360);
  timer_.setInterval(kPollMs);
  connect(&timer_, &QTimer::timeout, this, &InspectorWindow::followPointer);
  fields_->setText(XDisplayOrNull() ? FieldsText(shown_) : NoDisplayText());
}

void InspectorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (XDisplayOrNull()) timer_.start();
}

void InspectorWindow::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void InspectorWindow::followPointer() {
  const QPoint point = QCursor::pos();
  if (point == lastPoint_) return;
  lastPoint_ = point;
  inspectAt(point);
}

void InspectorWindow::inspectAt(const QPoint& point) {
  if (!XDisplayOrNull()) return;
  // Our own windows are looked through, so the pointer can reach the buttons without losing
  // what is shown.
  InspectedControl found = InspectPoint(point, getpid());
  if (!found.handle || found.handle == shown_.handle) return;
  shown_ = found;
  fields_->setText(FieldsText(shown_));
  menuTree_->setPlainText(QString(shown_.menuListing).replace(u'\r', u'\n').trimmed());
  if (!shown_.rect.isEmpty()) Dialogs().Highlight(shown_.rect, kHighlightBlinks);
}

QString InspectorWindow::findWindowLine() const {
  return u"h = FindWindow('%1')"_s.arg(shown_.path);
}

void InspectorWindow::copyPath() {
  if (!shown_.path.isEmpty()) QGuiApplication::clipboard()->setText(shown_.path);
}

void InspectorWindow::insertIntoEditor() {
  if (shown_.path.isEmpty() || !editor_) return;
  int line = 0, index = 0;
  editor_->getCursorPosition(&line, &index);
  editor_->insertAt(findWindowLine() + u'\n', line, 0);
}

void AddWindowInspectorItem(QMenu* menu, QWidget* window, ScriptEditor* editor) {
  auto* inspector = new InspectorWindow(editor, window);
  auto* open = new QAction(Bilingual(u"Window inspector", u"Инспектор окон"), window);
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
  open->setObjectName(u"A_Window_inspector"_s);
  QObject::connect(open, &QAction::triggered, inspector, [inspector] {
    inspector->show();
    inspector->raise();
  });
  menu->addSeparator();
  menu->addAction(open);
  window->addAction(open);  // the shortcut works while the menu is closed
}
