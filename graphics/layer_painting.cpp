#include "graphics/layer_painting.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "unit_support/graphics_surface.h"

QColor ColourOf(qint64 value) {
  return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

int ColourValue(QRgb pixel) {
  return qRed(pixel) | (qGreen(pixel) << 8) | (qBlue(pixel) << 16);
}

// Built from the corners' extremes: QRect::normalized() would shrink a box given by its
// lower-left and upper-right corners by a pixel on each side.
QRect BoxBetween(QPoint a, QPoint b) {
  return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()), std::abs(a.y() - b.y())};
}

QImage* LayerImage(int layer) {
  return Graphics().mapped() ? Surface().Layer(layer == 1 ? 1 : 2) : nullptr;
}

namespace {

Qt::PenStyle QtPenStyle(int style) {
  switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

// Fonts need the GUI application (console mode runs one on the offscreen platform).
bool FontsAvailable() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont LayerFont(int layer) {
  QFont font;
  const LayerTools& tools = Graphics().layer(layer);
  if (!tools.fontName.isEmpty()) font.setFamily(tools.fontName);
  font.setPointSize(qBound(1, tools.fontSize, 1000));
  font.setStyleStrategy(QFont::NoAntialias);  // text in exactly the font colour
  return font;
}

// Paints `paint` over the region of pixels that `inside` accepts, reached 4-connected from
// `start`, marking each pixel once so that a paint colour equal to the region's still ends.
template <typename Inside>
void FillRegion(int layer, QPoint start, Inside inside) {
  const LayerTools& tools = Graphics().layer(layer);
  QImage* image = LayerImage(layer);
  if (!image || tools.brushClear || !image->rect().contains(start)) return;
  const int width = image->width(), height = image->height();
  const QRgb paint = ColourOf(tools.brushColour).rgb();
  std::vector<bool> seen(std::size_t(width) * std::size_t(height));
  std::vector<QPoint> pending{start};
  seen[std::size_t(start.y()) * width + start.x()] = true;
  while (!pending.empty()) {
    const QPoint p = pending.back();
    pending.pop_back();
    auto* line = reinterpret_cast<QRgb*>(image->scanLine(p.y()));
    if (!inside(line[p.x()] & 0xFFFFFF)) continue;
    line[p.x()] = paint;
    for (const QPoint next : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
      if (next.x() < 0 || next.y() < 0 || next.x() >= width || next.y() >= height) continue;
      const std::size_t at = std::size_t(next.y()) * width + next.x();
      if (seen[at]) continue;
      seen[at] = true;
      pending.push_back(next);
    }
  }
  Surface().Present();
}

// QColor::rgb() of a $00BBGGRR value, without the alpha byte.
QRgb PixelOf(int colour) {
  return ColourOf(colour).rgb() & 0xFFFFFF;
}

}  // namespace

LayerPainter::LayerPainter(int layer) {
  QImage* image = LayerImage(layer);
  if (!image) return;
  const LayerTools& tools = Graphics().layer(layer);
  painter_.emplace(image);
  QPen pen(ColourOf(tools.penColour), tools.penWidth, QtPenStyle(tools.penStyle), Qt::RoundCap, Qt::RoundJoin);
  painter_->setPen(pen);
  painter_->setBrush(tools.brushClear ? QBrush(Qt::NoBrush) : QBrush(ColourOf(tools.brushColour)));
  if (FontsAvailable()) painter_->setFont(LayerFont(layer));
}

LayerPainter::~LayerPainter() {
  if (!painter_) return;
  painter_->end();
  Surface().Present();
}

void MovePen(int layer, QPoint to) {
  Graphics().layer(layer).penPosition = to;
}

void LineTo(int layer, QPoint to) {
  QPoint& position = Graphics().layer(layer).penPosition;
  if (LayerPainter painter(layer); painter) painter->drawLine(position, to);
  position = to;
}

void Line(int layer, QPoint from, QPoint to) {
  MovePen(layer, from);
  LineTo(layer, to);
}

QSize TextSize(int layer, const QString& text) {
  if (!FontsAvailable() || text.isEmpty()) return {};
  const QFontMetrics metrics(LayerFont(layer));
  return {metrics.horizontalAdvance(text), metrics.height()};
}

void WriteText(int layer, QPoint topLeft, const QString& text) {
  const QSize size = TextSize(layer, text);
  if (size.isEmpty()) return;
  LayerPainter painter(layer);
  if (!painter) return;
  const LayerTools& tools = Graphics().layer(layer);
  const QRect box(topLeft, size);
  if (!tools.brushClear) painter->fillRect(box, ColourOf(tools.brushColour));
  painter->setPen(ColourOf(tools.fontColour));
  painter->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void FillSurface(int layer, QPoint start) {
  const QImage* image = LayerImage(layer);
  if (!image || !image->rect().contains(start)) return;
  const QRgb region = image->pixel(start) & 0xFFFFFF;
  FillRegion(layer, start, [region](QRgb pixel) { return pixel == region; });
}

void FillToBorder(int layer, QPoint start, int borderColour) {
  const QRgb border = PixelOf(borderColour);
  FillRegion(layer, start, [border](QRgb pixel) { return pixel != border; });
}
