#include "ide/window_surface.h"

#include <QPainter>

WindowSurface::WindowSurface(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("GraphicsSurface"));
}

bool WindowSurface::Resize(QSize size) {
  if (!ImageSurface::Resize(size)) return false;
  display_ = size;
  update();
  return true;
}

QSize WindowSurface::PanelSize() const {
  return width() > 3 && height() > 3 ? size() : QSize(800, 600);
}

void WindowSurface::ShowAt(QSize display) {
  display_ = display;
  update();
}

void WindowSurface::paintEvent(QPaintEvent*) {
  if (PaintTarget()) QPainter(this).drawImage(QRect(QPoint(0, 0), display_), Composed());
}
