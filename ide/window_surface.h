// The graphics surface of the window: the picture shown in the main window's picture area at
// its own size, top left, repainted when the graphics functions present what they painted.
#pragma once

#include <QWidget>

#include "unit_support/image_surface.h"

class WindowSurface : public QWidget, public ImageSurface {
  Q_OBJECT

 public:
  explicit WindowSurface(QWidget* parent = nullptr);

  bool Resize(QSize size) override;
  // In a splitter with no room for the area yet: three quarters of the window's width.
  // Shows the panel, with its splitter handle, at three quarters of the window's width.
  void Open() override;
  // Hides the panel and its handle, as at program start (another script was loaded).
  void Close();
  // The area's own size; a panel not laid out yet offers the console's default canvas.
  QSize PanelSize() const override;
  void ShowAt(QSize display) override;
  bool Shown() const override { return isVisible() && width() > 0; }
  void Present() override { update(); }
  int PopUpMenu(const QStringList& items, int checked, QPoint displayPixel) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The pointer goes to the graphics unit: position, hit test (hand cursor), clicks.
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QSize display_;  // the size the layers are shown at
};
