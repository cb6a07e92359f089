// The state of the graphics area: the user coordinate system, how it maps onto the pixels of
// the two layers, the grid steps, and the drawing tools of each layer. One per program; it
// outlives runs and engine resets.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>

// The tools a layer draws with. Colours are $00BBGGRR values.
struct LayerTools {
  int penColour = 0;
  int penWidth = 1;
  int penStyle = 0;  // 1 dash, 2 dot, 3 dash-dot, 4 no line, anything else solid
  int brushColour = 0xFFFFFF;
  bool brushClear = false;
  int fontSize = 10;  // points
  QString fontName;   // the typeface; empty for the default one
  int fontColour = 0;
  QPoint penPosition;
};

inline constexpr int kWhite = 0xFFFFFF;
inline constexpr int kSilver = 0xC0C0C0;

struct GraphicsState {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // x1 maps to the left edge, y2 to the top edge
  double dx = 0, dy = 0;
  double kx = 0, ky = 0;  // pixels per user unit
  int W = 0, H = 0;       // the drawing size worked out from the panel
  int scalingMode = 0;
  double ratio = 0;  // width : height of ScalingMode 3
  double stepX = 0, stepY = 0;      // grid steps in user units (0 = none)
  double stepXpx = 0, stepYpx = 0;  // the same in pixels
  QSize display;                    // the size each layer is shown at
  double zoom = 0;                  // display size / bitmap size
  QPoint pointerPixel;   // the pointer over the area in display pixels, (-1, -1) after it left
  QPointF pointerUser;   // the same in user coordinates
  LayerTools tools[2];

  // Layer 1 when `layer` is 1, layer 2 for any other value.
  LayerTools& layer(int layer) { return tools[layer == 1 ? 0 : 1]; }
  // A coordinate system has been set up: drawing before it shows nothing.
  bool mapped() const { return kx != 0 && ky != 0; }
};

GraphicsState& Graphics();

// Round half to even into the int range (NaN gives 0); every float-to-integer conversion of
// the graphics functions uses it.
int RoundToInt(double v);
// A pixel coordinate: rounded and kept within a range the painter handles.
int PixelCoordinate(double v);
// The pixel (column, row) of a user point.
QPoint WorldToPixel(double x, double y);
// The grid step, in user units, that divides `range` into 5 to 13 round steps; 0 when the
// drawing is under 100 pixels or the range is outside 0.001..100000.
double GridStep(int pixels, double range);
// The label of a grid line: up to 7 significant digits, an exponent of at least 3 digits, the
// locale's decimal separator.
QString GridLabel(double value);
