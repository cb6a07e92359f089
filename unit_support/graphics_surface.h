// The surface the graphics functions paint on: a picture of a given size that the window shows
// in its picture area and console mode keeps in memory. The default has no surface at all.
#pragma once

#include <QSize>

class QImage;

class GraphicsSurface {
 public:
  virtual ~GraphicsSurface() = default;

  // Makes the picture `size` pixels, all white; false when no surface can be had (a size that
  // is empty or too large keeps the earlier picture).
  virtual bool Resize(QSize size) { return false; }
  virtual QSize Size() const { return {}; }
  // The picture to paint on (with a QPainter); nullptr when there is none. Valid until the
  // next Resize.
  virtual QImage* PaintTarget() { return nullptr; }
  // What was painted is shown (the window repaints; console mode has nothing to show).
  virtual void Present() {}
};

GraphicsSurface& Surface();
// Installs a surface (not owned); nullptr restores the default one.
void SetGraphicsSurface(GraphicsSurface* surface);
