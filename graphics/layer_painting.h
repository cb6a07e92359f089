// Painting on a layer with the layer's own tools: the pen, brush and font of GraphicsState
// turned into a QPainter, lines that move the pen position, text with its background, and the
// region fills. Nothing is painted before a coordinate system is set up.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <optional>

#include "graphics/graphics_state.h"

QColor ColourOf(qint64 value);  // $00BBGGRR -> QColor
int ColourValue(QRgb pixel);    // QColor -> $00BBGGRR

// The box a shape drawn between two corners covers, Windows-style: from (left, top) up to but
// not including (right, bottom).
QRect BoxBetween(QPoint a, QPoint b);

// The picture of a layer, or nullptr when there is none or nothing is mapped yet.
QImage* LayerImage(int layer);

// A painter over a layer with its pen, brush and font; inactive (false) when the layer has no
// picture. What it painted is presented when it ends.
class LayerPainter {
 public:
  explicit LayerPainter(int layer);
  ~LayerPainter();
  LayerPainter(const LayerPainter&) = delete;
  LayerPainter& operator=(const LayerPainter&) = delete;

  explicit operator bool() const { return painter_.has_value(); }
  QPainter* operator->() { return &*painter_; }

 private:
  std::optional<QPainter> painter_;
};

void MovePen(int layer, QPoint to);
// A line with the layer's pen from its pen position to `to`, which becomes the pen position.
void LineTo(int layer, QPoint to);
void Line(int layer, QPoint from, QPoint to);

// The size of a text in the layer's font ((0, 0) where no fonts can be had).
QSize TextSize(int layer, const QString& text);
// Writes a text in the layer's font and font colour with its top-left corner at `topLeft`, on
// a background of the layer's brush unless the brush is clear.
void WriteText(int layer, QPoint topLeft, const QString& text);

// Paints with the layer's brush the 4-connected region around `start` whose pixels all have
// the colour of the start pixel.
void FillSurface(int layer, QPoint start);
// Paints with the layer's brush the 4-connected region around `start` of pixels that are not
// `borderColour`.
void FillToBorder(int layer, QPoint start, int borderColour);
