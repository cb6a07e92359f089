// The surface the graphics functions paint on: two pictures of one size, the layers, that the
// window shows in its picture area and console mode keeps in memory. Layer 1 is opaque; layer 2
// is shown over it with white as its transparent colour. The default has no surface at all.
#pragma once

#include <QPoint>
#include <QPoint>
#include <QSize>
#include <QStringList>

class QImage;

class GraphicsSurface {
 public:
  virtual ~GraphicsSurface() = default;

  // Makes both layers `size` pixels, all white; false when no surface can be had (a size that
  // is empty or too large keeps the earlier pictures).
  virtual bool Resize(QSize size) { return false; }
  virtual QSize Size() const { return {}; }
  // Gives the graphics panel room when it has none yet (the window opens its panel).
  virtual void Open() {}
  // The panel is shown (opened and not closed since).
  virtual bool Shown() const { return false; }
  // The room the graphics panel offers, in pixels: what the coordinate system is fitted into.
  virtual QSize PanelSize() const { return Size(); }
  // Layer 1 or 2 to paint on (with a QPainter); nullptr when there is none or for another
  // number. Valid until the next Resize.
  virtual QImage* Layer(int layer) { return nullptr; }
  QImage* PaintTarget() { return Layer(1); }
  // The layers are shown at `display` pixels, scaled from their size.
  virtual void ShowAt(QSize display) {}
  // What was painted is shown (the window repaints; console mode has nothing to show).
  virtual void Present() {}
  // A pop-up menu of `items` at a display pixel of the panel, item `checked` marked; the index
  // chosen, or -1 (dismissed, or no menu can be shown).
  virtual int PopUpMenu(const QStringList& items, int checked, QPoint displayPixel) { return -1; }
};

GraphicsSurface& Surface();
// Installs a surface (not owned); nullptr restores the default one.
void SetGraphicsSurface(GraphicsSurface* surface);

// What a surface calls when its panel changed size, and what the graphics unit installs there
// (it lays its layers out anew); nothing happens while none is installed.
void NotifyPanelResized();
void SetPanelResizedHandler(void (*handler)());

// What a surface reports about the pointer over its picture, in display pixels, and what the
// graphics unit installs there (its mouse areas and pointer position).
struct PointerHandlers {
  bool (*moved)(QPoint displayPixel) = nullptr;  // true over a clickable area: the hand cursor
  void (*left)() = nullptr;
  void (*released)(QPoint displayPixel, int button) = nullptr;  // 1 left, 2 right, 3 middle
};
void SetPointerHandlers(PointerHandlers handlers);
bool NotifyPointerMoved(QPoint displayPixel);
void NotifyPointerLeft();
void NotifyPointerReleased(QPoint displayPixel, int button);
