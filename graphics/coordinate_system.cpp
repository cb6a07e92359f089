// SetCoordinateSystem: the user ranges fitted into the panel, both layers sized and reset, the
// mapping, and the axes or grid with their labels; and the display size of the layers.
#include <algorithm>
#include <cmath>

#include "engine/message_numbers.h"
#include "graphics/graphics_families.h"
#include "graphics/graphics_unit.h"
#include "graphics/layer_painting.h"
#include "graphics/mouse_areas.h"
#include "unit_support/graphics_surface.h"

namespace {

constexpr int kSmallestSide = 50;
constexpr int kMostGridLines = 100000;  // a bound no sensible grid reaches

int FloorToInt(double v) {
  return RoundToInt(std::floor(v));
}

// The bitmap and the display of the layers for a mode; false for a mode out of range.
bool LayerSizes(const GraphicsState& g, QSize& bitmap, QSize& display) {
  const QSize drawing(g.W, g.H);
  const QSize ranges(RoundToInt(g.dx), RoundToInt(g.dy));
  switch (g.scalingMode) {
    case 0: bitmap = display = drawing; return true;
    case 1: bitmap = ranges, display = drawing; return true;
    case 2: bitmap = display = ranges; return true;
    case 3:
      if (double(g.W) / g.H <= g.ratio)
        bitmap = QSize(g.W, FloorToInt(g.W / g.ratio));
      else
        bitmap = QSize(FloorToInt(g.H * g.ratio), g.H);
      display = bitmap;
      return true;
    default: return false;
  }
}

void ResetLayerTools(LayerTools& tools, QSize display) {
  tools.penColour = 0;
  tools.penWidth = 1;
  tools.penStyle = 0;
  tools.fontSize = (display.width() + display.height()) / 140;
  tools.fontColour = 0;
  tools.brushColour = kWhite;
}

// Grid lines i = first, first + 1, ... at the pixel `place(i)`, for as long as `within`
// accepts it; none without a step.
template <typename Place, typename Within, typename Draw>
void ForEachGridLine(double stepPixels, double first, Place place, Within within, Draw draw) {
  if (!(stepPixels > 0)) return;
  for (int n = 0; n < kMostGridLines; ++n) {
    const double i = first + n;
    const int at = PixelCoordinate(place(i));
    if (!within(at)) break;
    draw(i, at);
  }
}

// Where the axes and grid lines go: the vertical lines by their index i and column, the
// horizontal ones by index and row.
struct GridGeometry {
  int layer;
  int bitmapWidth, bitmapHeight;
  int X0, Y0;  // the column of x = 0 and the row of y = 0
  int tick;

  template <typename Draw>
  void forEachColumn(Draw draw) const {
    const GraphicsState& g = Graphics();
    ForEachGridLine(
        g.stepXpx, std::ceil(g.x1 / g.stepX), [&g](double i) { return i * g.stepXpx - g.x1 * g.kx; },
        [&g](int column) { return column <= g.W; }, draw);
  }
  template <typename Draw>
  void forEachRow(Draw draw) const {
    const GraphicsState& g = Graphics();
    ForEachGridLine(
        g.stepYpx, std::ceil(g.y1 / g.stepY), [&g](double i) { return g.y2 * g.ky - i * g.stepYpx; },
        [](int row) { return row >= 1; }, draw);
  }
};

void DrawAxes(const GridGeometry& grid) {
  const GraphicsState& g = Graphics();
  const int layer = grid.layer, tick = grid.tick;
  const double firstColumn = std::ceil(g.x1 / g.stepX), lastColumn = std::ceil(g.x2 / g.stepX);
  grid.forEachColumn([&](double i, int column) {
    if (i != 0) {
      Line(layer, {column, grid.Y0 - tick}, {column, grid.Y0 + tick});
    } else {
      Line(layer, {column, 0}, {column, grid.bitmapHeight});
      MovePen(layer, {column - tick, 2 * tick});
      LineTo(layer, {column, tick / 2});
      LineTo(layer, {column + tick, 2 * tick});
    }
    if (i > firstColumn && i < lastColumn) {
      const QString label = GridLabel(i * g.stepX);
      WriteText(layer, {column - 2 - TextSize(layer, label).width(), grid.Y0}, label);
    }
  });
  grid.forEachRow([&](double i, int row) {
    if (i != 0) {
      Line(layer, {grid.X0 - tick, row}, {grid.X0 + tick, row});
      const QString label = GridLabel(i * g.stepY);
      const QSize size = TextSize(layer, label);
      WriteText(layer, {grid.X0 - size.width() - 2, row - size.height()}, label);
    } else {
      const int right = grid.bitmapWidth;
      Line(layer, {0, row}, {right, row});
      MovePen(layer, {right - 2 * tick, row - tick});
      LineTo(layer, {right - tick / 5, row});
      LineTo(layer, {right - 2 * tick, row + tick});
    }
  });
}

void DrawGrid(const GridGeometry& grid) {
  const GraphicsState& g = Graphics();
  const int layer = grid.layer;
  LayerTools& tools = Graphics().layer(layer);
  const auto styleFor = [](double i) { return i == 0 ? 0 : 3; };  // the zero line solid, others dash-dot
  grid.forEachColumn([&](double i, int column) {
    tools.penStyle = styleFor(i);
    Line(layer, {column, 0}, {column, grid.bitmapHeight});
    const QString label = GridLabel(i * g.stepX);
    const QSize size = TextSize(layer, label);
    WriteText(layer, {column - 2 - size.width(), grid.bitmapHeight - size.height()}, label);
  });
  grid.forEachRow([&](double i, int row) {
    tools.penStyle = styleFor(i);
    Line(layer, {0, row}, {grid.bitmapWidth, row});
    const QString label = GridLabel(i * g.stepY);
    WriteText(layer, {3, row - TextSize(layer, label).height()}, label);
  });
}

void SetCoordinateSystem(GeneralCall& call) {
  ClearMouseAreas();
  Surface().Open();
  GraphicsState& g = Graphics();
  g.x1 = call.number(0);
  g.y1 = call.number(1);
  g.x2 = call.number(2);
  g.y2 = call.number(3);
  const qint64 drawGrid = call.integerOr(4, 0);
  const qint64 layerArgument = call.integerOr(5, 1);
  const int layer = layerArgument == 2 ? 2 : 1;
  const qint64 mode = call.integerOr(6, 0);
  g.scalingMode = int(std::clamp<qint64>(qint64(INT_MIN), mode, qint64(INT_MAX)));
  g.ratio = call.count() == 8 ? call.number(7) : 1.414;
  const QSize panel = Surface().PanelSize();
  g.W = panel.width();
  g.H = panel.height();
  g.dx = g.x2 - g.x1;
  g.dy = g.y2 - g.y1;
  if (mode == 3) {
    g.x1 -= 0.1 * g.dx, g.x2 += 0.1 * g.dx;
    g.y1 -= 0.1 * g.dy, g.y2 += 0.1 * g.dy;
    g.dx = g.x2 - g.x1;
    g.dy = g.y2 - g.y1;
  } else if (mode >= 0 && mode <= 2) {
    if (g.dx / g.dy <= double(g.W) / g.H)
      g.W = RoundToInt(g.H * g.dx / g.dy);
    else
      g.H = RoundToInt(g.W * g.dy / g.dx);
  }

  QSize bitmap, display;
  if (!LayerSizes(g, bitmap, display)) return call.fail(msg::kScalingModeOutOfRange, {g.scalingMode});
  if (bitmap.width() < kSmallestSide || bitmap.height() < kSmallestSide)
    return call.fail(msg::kGraphicsRangesTooSmall);
  if (!Surface().Resize(bitmap)) return call.fail(msg::kNotEnoughMemory);
  for (LayerTools& tools : g.tools) ResetLayerTools(tools, display);
  g.display = display;

  g.kx = bitmap.width() / g.dx;
  g.ky = bitmap.height() / g.dy;
  g.stepX = GridStep(g.W, g.dx);
  g.stepY = GridStep(g.H, g.dy);
  g.stepXpx = g.stepX * g.kx;
  g.stepYpx = g.stepY * g.ky;
  const GridGeometry grid{.layer = layer,
                          .bitmapWidth = bitmap.width(),
                          .bitmapHeight = bitmap.height(),
                          .X0 = -RoundToInt(g.x1 * g.kx),
                          .Y0 = bitmap.height() + RoundToInt(g.y1 * g.ky),
                          .tick = RoundToInt(g.stepXpx / 10)};

  LayerTools& tools = g.layer(layer);
  tools.penColour = tools.fontColour = kSilver;
  if (drawGrid == 1) DrawAxes(grid);
  if (drawGrid == 2) DrawGrid(grid);
  tools.penColour = tools.fontColour = 0;
  tools.penStyle = 0;
  LayOutGraphicsDisplay();
}

constexpr UnitFunctionEntry kCoordinateSystemFunctions[] = {
    {u"SetCoordinateSystem", SetCoordinateSystem},
};

}  // namespace

void LayOutGraphicsDisplay() {
  GraphicsState& g = Graphics();
  const QSize bitmap = Surface().Size();
  if (bitmap.isEmpty()) return;
  if (g.scalingMode != 2) {
    const QSize panel = Surface().PanelSize();
    const double s = std::min(double(panel.height()) / bitmap.height(), double(panel.width()) / bitmap.width());
    g.display = QSize(RoundToInt(bitmap.width() * s), RoundToInt(bitmap.height() * s));
  }
  g.zoom = std::min(double(g.display.height()) / bitmap.height(), double(g.display.width()) / bitmap.width());
  Surface().ShowAt(g.display);
  Surface().Present();
}

std::span<const UnitFunctionEntry> CoordinateSystemFunctions() {
  return kCoordinateSystemFunctions;
}
