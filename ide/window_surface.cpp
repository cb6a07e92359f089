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

void WindowSurface::paintEvent(QPaintEvent*) {
  if (const QImage* picture = PaintTarget()) QPainter(this).drawImage(0, 0, *picture);
}
