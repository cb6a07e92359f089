// The drawing functions: pixels, pen and brush, lines, rectangles, circles, fills, text, and
// the clearing and merging of the layers.
#include <algorithm>

#include "engine/evaluator.h"
#include "graphics/graphics_families.h"
#include "graphics/layer_painting.h"
#include "unit_support/graphics_surface.h"

namespace {

constexpr int kWidestPen = 10000;  // a pen wider than any picture is as good as this one

// The pixel of a user point given by arguments n and n + 1.
QPoint PointArgument(const GeneralCall& call, int n) {
  return WorldToPixel(call.number(n), call.number(n + 1));
}

// The pixel functions and Rect address the row above the mapped one.
QPoint PixelAbove(QPoint p) {
  return p - QPoint(0, 1);
}

int ColourArgument(const GeneralCall& call, int n) {
  return int(call.integer(n) & 0xFFFFFF);
}

void PixelRead(GeneralCall& call) {
  const QImage* image = LayerImage(LayerArgument(call, 2));
  const QPoint p = PixelAbove(PointArgument(call, 0));
  int value = -1;
  if (image && image->rect().contains(p)) {
    value = ColourValue(image->pixel(p));
    if (call.count() == 4 && call.integer(3) == 1)
      value = ((value & 0xFF) + ((value >> 8) & 0xFF) + (value >> 16)) / 3;
  }
  SetNumber(call.result(), value, wkInt);
}

void PixelWrite(GeneralCall& call) {
  QImage* image = LayerImage(LayerArgument(call, 3));
  const QPoint p = PixelAbove(PointArgument(call, 0));
  if (!image || !image->rect().contains(p)) return;
  image->setPixel(p, ColourOf(ColourArgument(call, 2)).rgb());
  Surface().Present();
}

void MoveTo(GeneralCall& call) {
  MovePen(LayerArgument(call, 2), PointArgument(call, 0));
}

void LineTo(GeneralCall& call) {
  LineTo(LayerArgument(call, 2), PointArgument(call, 0));
}

// The colour argument is checked but takes no part: the region is the start pixel's colour
// and the paint is the brush.
void FloodFill(GeneralCall& call) {
  FillSurface(LayerArgument(call, 3), PointArgument(call, 0));
}

void SetPenParameters(GeneralCall& call) {
  LayerTools& tools = Graphics().layer(LayerArgument(call, 3));
  tools.penWidth = int(std::clamp<qint64>(1, call.integer(0), kWidestPen));
  tools.penColour = ColourArgument(call, 1);
  tools.penStyle = int(std::clamp<qint64>(-1, call.integerOr(2, 0), 5));  // outside 1..4: solid
}

void SetBrushParameters(GeneralCall& call) {
  LayerTools& tools = Graphics().layer(LayerArgument(call, 2));
  tools.brushColour = ColourArgument(call, 0);
  tools.brushClear = call.integerOr(1, 0) != 0;
}

void Circle(GeneralCall& call) {
  const QPoint centre = PointArgument(call, 0);
  const int r = PixelCoordinate(call.number(2) * Graphics().kx);
  if (LayerPainter painter(LayerArgument(call, 3)); painter)
    painter->drawEllipse(BoxBetween(centre - QPoint(r, r), centre + QPoint(r, r)));
}

void FillRect(GeneralCall& call) {
  const QPoint topLeft = WorldToPixel(call.number(0), call.number(3));
  const QPoint bottomRight = WorldToPixel(call.number(2), call.number(1));
  if (LayerPainter painter(LayerArgument(call, 4)); painter) painter->drawRect(BoxBetween(topLeft, bottomRight));
}

// A rounded rectangle drawn as four sides and four quarter arcs, then filled with the brush
// up to the pen colour from its middle.
void Rect(GeneralCall& call) {
  const int layer = LayerArgument(call, 4);
  const int left = WorldToPixel(call.number(0), 0).x(), right = WorldToPixel(call.number(2), 0).x();
  const int bottom = WorldToPixel(0, call.number(1)).y() - 1, top = WorldToPixel(0, call.number(3)).y() - 1;
  const int r = call.count() == 6 ? PixelCoordinate(RoundHalfEven(call.number(5)) * Graphics().ky) : 0;
  Line(layer, {left + r, top}, {right - r, top});
  Line(layer, {right, top + r}, {right, bottom - r});
  Line(layer, {right - r, bottom}, {left + r, bottom});
  Line(layer, {left, bottom - r}, {left, top + r});
  if (r != 0) {
    if (LayerPainter painter(layer); painter) {
      painter->setBrush(Qt::NoBrush);
      constexpr int kQuarter = 90 * 16;  // Qt's angles are in sixteenths of a degree
      const QSize box(2 * r, 2 * r);
      painter->drawArc(QRect(QPoint(left, top), box), 1 * kQuarter, kQuarter);
      painter->drawArc(QRect(QPoint(right - 2 * r, top), box), 0, kQuarter);
      painter->drawArc(QRect(QPoint(left, bottom - 2 * r), box), 2 * kQuarter, kQuarter);
      painter->drawArc(QRect(QPoint(right - 2 * r, bottom - 2 * r), box), 3 * kQuarter, kQuarter);
    }
  }
  const QPoint middle(RoundToInt((left + right) * 0.5), RoundToInt((top + bottom) * 0.5));
  FillToBorder(layer, middle, Graphics().layer(layer).penColour);
}

// The font size and colour stay set on the layer; the text's lower-left corner is the point.
void TextPrint(GeneralCall& call) {
  const int layer = LayerArgument(call, 5);
  LayerTools& tools = Graphics().layer(layer);
  tools.fontSize = int(std::clamp<qint64>(1, call.integer(3), 1000));
  tools.fontColour = call.has(4) ? ColourArgument(call, 4) : 0;
  const QPoint corner = PointArgument(call, 0);
  const QString& text = call.text(2);
  WriteText(layer, corner - QPoint(0, TextSize(layer, text).height()), text);
}

// Fills a layer with white through a white solid brush; the layer's own brush is kept.
void FillLayerWhite(int layer, QRect area) {
  LayerTools& tools = Graphics().layer(layer);
  const LayerTools saved = tools;
  tools.brushColour = kWhite;
  tools.brushClear = false;
  if (LayerPainter painter(layer); painter) painter->fillRect(area, Qt::white);
  tools.brushColour = saved.brushColour;
  tools.brushClear = saved.brushClear;
}

void Clean(GeneralCall& call) {
  const int layer = LayerArgument(call, 0);
  if (const QImage* image = LayerImage(layer)) FillLayerWhite(layer, image->rect());
}

// The non-white pixels of layer 2 go onto layer 1; layer 2 is cleared with a white brush
// that stays its brush.
void LayerTransferring(GeneralCall&) {
  QImage* lower = LayerImage(1);
  const QImage* upper = LayerImage(2);
  if (!lower || !upper) return;
  const QRect area = QRect(QPoint(0, 0), Graphics().display) & lower->rect() & upper->rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(upper->constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(lower->scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x)
      if ((from[x] & 0xFFFFFF) != kWhite) to[x] = from[x];
  }
  FillLayerWhite(2, QRect(QPoint(0, 0), Graphics().display));
  LayerTools& tools = Graphics().layer(2);
  tools.brushColour = kWhite;
  tools.brushClear = false;
}

constexpr UnitFunctionEntry kDrawingFunctions[] = {
    {u"PixelRead", PixelRead},
    {u"PixelWrite", PixelWrite},
    {u"MoveTo", MoveTo},
    {u"LineTo", LineTo},
    {u"FloodFill", FloodFill},
    {u"SetPenParameters", SetPenParameters},
    {u"SetBrushParameters", SetBrushParameters},
    {u"Circle", Circle},
    {u"FillRect", FillRect},
    {u"Rect", Rect},
    {u"TextPrint", TextPrint},
    {u"Clean", Clean},
    {u"LayerTransferring", LayerTransferring},
};

}  // namespace

int LayerArgument(const GeneralCall& call, int n, int fallback) {
  if (!call.has(n)) return fallback;
  return call.integer(n) == 1 ? 1 : 2;
}

std::span<const UnitFunctionEntry> DrawingFunctions() {
  return kDrawingFunctions;
}
