#include "ide/window_surface.h"

#include <QPainter>

WindowSurface::WindowSurface(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("GraphicsSurface"));
}

bool WindowSurface::Resize(QSize size) {
  if (!ImageSurface::Resize(size)) return false;
  update();
  return true;
}

QSize WindowSurface::PanelSize() const {
  return width() > 3 && height() > 3 ? size() : QSize(800, 600);
}

void WindowSurface::paintEvent(QPaintEvent*) {
  if (PaintTarget()) QPainter(this).drawImage(0, 0, Composed());
}
