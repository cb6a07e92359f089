// Polyline, PolyLine1 and Polygon: lines through the points of a float array, with optional
// point markers.
#include <QPolygon>
#include <algorithm>

#include "engine/engine_state.h"
#include "graphics/graphics_families.h"
#include "graphics/layer_painting.h"

namespace {

constexpr int kMarkerHalfSize = 5;

// The point count of argument n when given, limited to `available`.
int PointCount(const GeneralCall& call, int n, qint64 available) {
  const qint64 count = call.has(n) ? call.integer(n) : available;
  return int(std::clamp<qint64>(0, count, available));
}

// Markers of `shape` (1 square, 2 filled square, 3 circle, 4 filled circle, 5 cross) around
// each point, drawn with a solid pen; a filled marker takes the pen colour as brush colour.
void DrawMarkers(int layer, const QPolygon& points, qint64 shape) {
  if (shape < 1 || shape > 5) return;
  LayerTools& tools = Graphics().layer(layer);
  const LayerTools saved = tools;
  tools.penStyle = 0;
  if (shape == 2 || shape == 4) tools.brushColour = tools.penColour;
  {
    LayerPainter painter(layer);
    if (painter) {
      const QPoint half(kMarkerHalfSize, kMarkerHalfSize);
      for (const QPoint& p : points) {
        const QRect box(p - half, p + half);
        switch (shape) {
          case 1:
          case 2: painter->drawPolygon(QPolygon(box, true)); break;
          case 3:
          case 4: painter->drawEllipse(QRect(box.topLeft(), box.size() - QSize(1, 1))); break;
          case 5:
            painter->drawLine(box.topLeft(), box.bottomRight());
            painter->drawLine(box.topRight(), box.bottomLeft());
            break;
        }
      }
    }
  }
  tools.penStyle = saved.penStyle;
  tools.brushColour = saved.brushColour;
}

// Points i from elements 2i and 2i + 1: the rows of an [N,2] array.
QPolygon PairedPoints(const std::vector<double>& elements, int count) {
  QPolygon points;
  for (int i = 0; i < count && std::size_t(2 * i + 1) < elements.size(); ++i)
    points << WorldToPixel(elements[std::size_t(2 * i)], elements[std::size_t(2 * i + 1)]);
  return points;
}

void DrawPolyline(int layer, const QPolygon& points, qint64 shape) {
  DrawMarkers(layer, points, shape);
  if (LayerPainter painter(layer); painter) painter->drawPolyline(points);
}

void Polyline(GeneralCall& call) {
  qint64 rows = 0, length = 0;
  const std::vector<double>* elements = FloatElements(call, rows, length);
  if (!elements) return;
  DrawPolyline(LayerArgument(call, 1), PairedPoints(*elements, PointCount(call, 3, rows)), call.integerOr(2, 0));
}

// y from element i, x from X0 and i additions of dX.
void PolyLine1(GeneralCall& call) {
  qint64 rows = 0, length = 0;
  const std::vector<double>* elements = FloatElements(call, rows, length);
  if (!elements) return;
  const int count = PointCount(call, 5, qMin<qint64>(length, qint64(elements->size())));
  QPolygon points;
  double x = call.number(1);
  for (int i = 0; i < count; ++i, x += call.number(2)) points << WorldToPixel(x, (*elements)[std::size_t(i)]);
  DrawPolyline(LayerArgument(call, 3), points, call.integerOr(4, 0));
}

void Polygon(GeneralCall& call) {
  qint64 rows = 0, length = 0;
  const std::vector<double>* elements = FloatElements(call, rows, length);
  if (!elements) return;
  const QPolygon points = PairedPoints(*elements, PointCount(call, 2, rows));
  if (LayerPainter painter(LayerArgument(call, 1)); painter) painter->drawPolygon(points);
}

constexpr UnitFunctionEntry kPolylineFunctions[] = {
    {u"Polyline", Polyline},
    {u"PolyLine1", PolyLine1},
    {u"Polygon", Polygon},
};

}  // namespace

const std::vector<double>* FloatElements(const GeneralCall& call, qint64& firstDimension, qint64& length) {
  const int index = FindArray(call.text(0));
  if (index <= 0) return nullptr;
  const t_arr_specification& a = Engine().Array(index);
  if (a.data_type != wkFloat || !a.P) return nullptr;
  firstDimension = a.dim[0];
  length = a.count;
  return &a.P->floats;
}

std::span<const UnitFunctionEntry> PolylineFunctions() {
  return kPolylineFunctions;
}
