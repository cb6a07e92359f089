#include "ide/window_surface.h"

#include <QMouseEvent>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QSplitter>

#include "engine/evaluator.h"

WindowSurface::WindowSurface(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("GraphicsSurface"));
  setMouseTracking(true);  // moves without a button pressed too
}

bool WindowSurface::Resize(QSize size) {
  if (!ImageSurface::Resize(size)) return false;
  display_ = size;
  update();
  return true;
}

void WindowSurface::Open() {
  auto* splitter = qobject_cast<QSplitter*>(parentWidget());
  if (!splitter || splitter->count() != 2) return;
  if (isVisible() && width() > 0) return;
  show();  // the splitter shows its handle with the panel
  const int index = splitter->indexOf(this);
  const QList<int> sizes = splitter->sizes();
  const int total = sizes[0] + sizes[1];
  const int width = qMin(total, int(RoundHalfEven(0.75 * window()->width())));
  QList<int> opened(2);
  opened[index] = width;
  opened[1 - index] = total - width;
  splitter->setSizes(opened);
}

void WindowSurface::Close() { hide(); }

QSize WindowSurface::PanelSize() const {
  return width() > 3 && height() > 3 ? size() : QSize(800, 600);
}

void WindowSurface::ShowAt(QSize display) {
  display_ = display;
  update();
}

void WindowSurface::resizeEvent(QResizeEvent*) {
  NotifyPanelResized();
}

void WindowSurface::paintEvent(QPaintEvent*) {
  if (PaintTarget()) QPainter(this).drawImage(QRect(QPoint(0, 0), display_), Composed());
}

namespace {

// The button number a click handler sees; 0 for other buttons.
int ButtonNumber(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 3;
    default: return 0;
  }
}

}  // namespace

void WindowSurface::mouseMoveEvent(QMouseEvent* event) {
  setCursor(NotifyPointerMoved(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void WindowSurface::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const int button = ButtonNumber(event->button());
  if (button != 0 && rect().contains(at)) NotifyPointerReleased(at, button);  // not after a drag out
}

void WindowSurface::leaveEvent(QEvent*) {
  NotifyPointerLeft();
  setCursor(Qt::ArrowCursor);
}

int WindowSurface::PopUpMenu(const QStringList& items, int checked, QPoint displayPixel) {
  QMenu menu(this);
  auto* group = new QActionGroup(&menu);
  for (int i = 0; i < items.size(); ++i) {
    QAction* item = menu.addAction(items[i]);
    item->setCheckable(true);
    item->setChecked(i == checked);
    item->setData(i);
    group->addAction(item);
  }
  const QAction* chosen = menu.exec(mapToGlobal(displayPixel));
  return chosen ? chosen->data().toInt() : -1;
}
