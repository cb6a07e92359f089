// Gra_Indicator: an instrument-style gauge on layer 2, described by a JSON-shaped text — a
// thermometer picture with its column, a vertical or horizontal bar, a half-circle dial with
// coloured ranges and a needle, or a number in a coloured panel.
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/json_fields.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "graphics/graphics_families.h"
#include "graphics/layer_painting.h"
#include "graphics/number_picture.h"
#include "unit_support/graphics_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kLayer = 2;
constexpr int kDialFace = 0xF0CAA6;     // the dial's face and the band beneath it
constexpr int kNeedle = kSilver;        // the needle's blade and hub
constexpr double kRimOverhang = 0.25;   // radians the dial's rim reaches below the horizontal
constexpr int kRimPenWidth = 3;
constexpr double kPi = std::numbers::pi;

// A colour named in a specification: the colour constant "cl" + name, in any letter case.
int NamedColour(const QString& name, int unknownColour) {
  QString valueText;
  if (LookupConstant(QString(u"cl"_s + name), nullptr, &valueText) < 0) return unknownColour;
  return TextToInteger(valueText) & 0xFFFFFF;
}

// A whole number of pixels, kept within a range whose sums and differences stay ints.
int IntegerField(const QString& object, const QString& key) {
  return PixelCoordinate(JsonFieldNumber(object, key));
}

// Where the indicator stands. Offsets are layer pixels with y pointing up; they go through the
// user coordinates so that they land where the anchor's own rounding puts them.
class Anchor {
 public:
  Anchor(double x, double y) : x_(x), y_(y), pixel_(WorldToPixel(x, y)) {}
  QPoint pixel() const { return pixel_; }
  QPoint offset(double dx, double dy) const {
    return WorldToPixel(x_ + dx / Graphics().kx, y_ + dy / Graphics().ky);
  }

 private:
  double x_, y_;
  QPoint pixel_;
};

// A rectangle of a specification: the corners (x1, y1) and (x2, y2) as offsets.
struct Offsets {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The rectangle object of a field; none when the field is empty or an error is pending.
std::optional<Offsets> OffsetsField(const QString& spec, const QString& key) {
  const QString object = JsonFieldText(spec, key);
  if (ErrorPending() || object.isEmpty()) return std::nullopt;
  const Offsets offsets{IntegerField(object, u"x1"_s), IntegerField(object, u"y1"_s), IntegerField(object, u"x2"_s),
                        IntegerField(object, u"y2"_s)};
  if (ErrorPending()) return std::nullopt;
  return offsets;
}

// The pixel corners of a rectangle: `first` is the (x1, y1) corner the fill grows from.
struct Corners {
  QPoint first, second;
};

Corners Place(const Offsets& o, const Anchor& anchor) {
  return {anchor.offset(o.x1, o.y1), anchor.offset(o.x2, o.y2)};
}

// How far a value stands between min and max, kept to [0, 1] (0 when undefined).
double Fraction(double value, double min, double max) {
  const double f = (value - min) / (max - min);
  return f > 0 ? std::min(f, 1.0) : 0;
}

enum class Growth { Up, Right };

// The part of a rectangle from its first corner's edge towards the second corner, covering
// the fraction of its height (Up) or width (Right), rounded to whole pixels.
Corners Share(Corners box, double fraction, Growth growth) {
  auto grow = [fraction](int from, int to) {
    const int length = RoundToInt(fraction * std::abs(to - from));
    return to >= from ? from + length : from - length;
  };
  if (growth == Growth::Up) box.second.setY(grow(box.first.y(), box.second.y()));
  else box.second.setX(grow(box.first.x(), box.second.x()));
  return box;
}

void SetBrush(int colour) {
  LayerTools& tools = Graphics().layer(kLayer);
  tools.brushColour = colour;
  tools.brushClear = false;
}

// Fills a rectangle with a colour, which becomes the brush, and no outline.
void Fill(const Corners& box, int colour) {
  SetBrush(colour);
  if (LayerPainter painter(kLayer); painter) painter->fillRect(BoxBetween(box.first, box.second), ColourOf(colour));
}

// The brush of layer 2 as it was before the indicator, put back when it is drawn.
class BrushKeeper {
 public:
  BrushKeeper() : saved_(Graphics().layer(kLayer)) {}
  ~BrushKeeper() {
    LayerTools& tools = Graphics().layer(kLayer);
    tools.brushColour = saved_.brushColour;
    tools.brushClear = saved_.brushClear;
  }
  BrushKeeper(const BrushKeeper&) = delete;
  BrushKeeper& operator=(const BrushKeeper&) = delete;

 private:
  const LayerTools saved_;
};

// --- thermometer ---

// A picture's pixels copied onto layer 2 with its lower-left corner at `corner`; transparent
// parts come out white, which layer 2 shows as transparent.
void CopyPicture(const QImage& picture, QPoint corner) {
  QImage* layer = LayerImage(kLayer);
  if (!layer) return;
  QImage opaque(picture.size(), QImage::Format_RGB32);
  opaque.fill(Qt::white);
  QPainter(&opaque).drawImage(0, 0, picture);
  const QPoint topLeft = corner - QPoint(0, opaque.height());
  for (int j = 0; j < opaque.height(); ++j)
    for (int i = 0; i < opaque.width(); ++i)
      if (const QPoint to = topLeft + QPoint(i, j); layer->rect().contains(to)) layer->setPixel(to, opaque.pixel(i, j));
  Surface().Present();
}

void DrawPictureFile(const QString& name, QPoint corner) {
  const QString path = PicturePath(name);
  const QImage picture = QFileInfo(path).isFile() ? QImageReader(path).read() : QImage();
  if (picture.isNull()) return RaiseScriptError(MessageText(msg::kInvalidFileName, {path}));
  CopyPicture(picture, corner);
}

void Thermometer(double value, const QString& spec, const Anchor& anchor) {
  const int indicatorColour = NamedColour(JsonFieldText(spec, u"indicator_color"_s), 0);
  const QString ranges = JsonFieldText(spec, u"ranges"_s);
  const double min = JsonFieldNumber(ranges, u"min"_s), max = JsonFieldNumber(ranges, u"max"_s);
  const QString picture = JsonFieldText(spec, u"picture"_s);
  if (!picture.isEmpty()) DrawPictureFile(picture, anchor.pixel());
  const std::optional<Offsets> column = OffsetsField(spec, u"inner_rect"_s);
  if (!column) return;
  const Corners box = Place(*column, anchor);
  Fill(box, kWhite);
  Fill(Share(box, Fraction(value, min, max), Growth::Up), indicatorColour);
}

// --- bars ---

void Bar(double value, const QString& spec, const Anchor& anchor, Growth growth) {
  const int frameColour = NamedColour(JsonFieldText(spec, u"rect_color"_s), 0);
  const std::optional<Offsets> outer = OffsetsField(spec, u"rect"_s);
  if (outer) Fill(Place(*outer, anchor), frameColour);
  const int freeSpaceColour = NamedColour(JsonFieldText(spec, u"freespace_color"_s), 0);
  const int width = IntegerField(spec, u"width"_s);
  const int indicatorColour = NamedColour(JsonFieldText(spec, u"indicator_color"_s), 0);
  if (!outer || ErrorPending()) return;
  const Corners inner = Place({outer->x1 + width, outer->y1 + width, outer->x2 - width, outer->y2 - width}, anchor);
  Fill(inner, freeSpaceColour);
  const QString ranges = JsonFieldText(spec, u"ranges"_s);
  if (ranges.isEmpty()) return;
  const double min = JsonFieldNumber(ranges, u"min"_s), max = JsonFieldNumber(ranges, u"max"_s);
  if (ErrorPending()) return;
  Fill(Share(inner, Fraction(value, min, max), growth), indicatorColour);
}

void VerticalBar(double value, const QString& spec, const Anchor& anchor) {
  Bar(value, spec, anchor, Growth::Up);
}

void HorizontalBar(double value, const QString& spec, const Anchor& anchor) {
  Bar(value, spec, anchor, Growth::Right);
}

// --- dial ---

int Sixteenths(double radians) {  // Qt's angles are in sixteenths of a degree
  return RoundToInt(radians * 180 / kPi * 16);
}

QRect CircleBox(QPoint centre, int r) {
  return BoxBetween(centre - QPoint(r, r), centre + QPoint(r, r));
}

// The direction of a pixel seen from the centre, counter-clockwise from the right.
double Direction(QPoint centre, QPoint p) {
  return std::atan2(centre.y() - p.y(), p.x() - centre.x());
}

// A wedge of the circle of radius r from the ray through `from` counter-clockwise to the ray
// through `to` (the whole disc when the rays meet), outlined with the pen, filled with the brush.
void Pie(QPoint centre, int r, QPoint from, QPoint to) {
  const double start = Direction(centre, from);
  double span = Direction(centre, to) - start;
  if (span <= 0) span += 2 * kPi;
  if (LayerPainter painter(kLayer); painter) painter->drawPie(CircleBox(centre, r), Sixteenths(start), Sixteenths(span));
}

// The point of a dial at an angle: 0 at the left of the centre, π/2 above it, π at the right.
QPoint DialPoint(QPoint centre, double angle, int radius) {
  return centre - QPoint(RoundToInt(std::cos(angle) * radius), RoundToInt(std::sin(angle) * radius));
}

bool InUnitRange(double f) {
  return f >= 0 && f <= 1;
}

// The coloured wedges of the ranges; false when a range ends outside the scale (reported).
bool DrawDialRanges(const QString& spec, QPoint centre, int radius, double min, double max) {
  auto fraction = [min, max](double v) { return (v - min) / (max - min); };
  for (const QString& range : JsonObjectList(spec, u"ranges"_s)) {
    const int colour = NamedColour(JsonFieldText(range, u"color"_s), kWhite);
    const double low = JsonFieldNumber(range, u"min"_s), high = JsonFieldNumber(range, u"max"_s);
    if (ErrorPending()) return false;
    if (!InUnitRange(fraction(low))) break;  // this and the later ranges are left out
    if (!InUnitRange(fraction(high))) {
      RaiseScriptError(MessageText(msg::kIndicatorRangeOutside, {high, min, max}));
      return false;
    }
    SetBrush(colour);
    Pie(centre, radius, DialPoint(centre, fraction(high) * kPi, radius), DialPoint(centre, fraction(low) * kPi, radius));
  }
  return true;
}

// The face, the band beneath it and the rim reaching a little below the horizontal.
void DrawDialBody(QPoint centre, int radius) {
  const int face = RoundToInt(0.8 * radius);
  SetBrush(kDialFace);
  Pie(centre, face, centre + QPoint(face, 1), centre + QPoint(-face, 1));
  Graphics().layer(kLayer).penWidth = kRimPenWidth;
  const int rim = radius + 1;
  const int below = RoundToInt(std::sin(kRimOverhang) * rim);
  if (LayerPainter painter(kLayer); painter) {
    painter->fillRect(BoxBetween(centre - QPoint(rim, 0), centre + QPoint(rim, below)), ColourOf(kDialFace));
    painter->drawArc(CircleBox(centre, rim), Sixteenths(-kRimOverhang), Sixteenths(kPi + 2 * kRimOverhang));
  }
  const int across = RoundToInt(std::cos(kRimOverhang) * rim);
  Line(kLayer, centre + QPoint(across, below), centre + QPoint(-across, below));
}

void DrawNeedle(QPoint centre, int radius, double angle) {
  const QPoint tip = DialPoint(centre, angle, radius);
  Line(kLayer, centre, tip);
  const int base = RoundToInt(radius / 10.0);
  const QPoint side(RoundToInt(std::sin(angle) * base), -RoundToInt(std::cos(angle) * base));
  SetBrush(kNeedle);
  if (LayerPainter painter(kLayer); painter) {
    const QPoint blade[] = {tip, centre - side, centre + side};
    painter->drawPolygon(blade, 3);
    painter->drawEllipse(CircleBox(centre, RoundToInt(radius / 6.0) + 1));
  }
}

void Dial(double value, const QString& spec, const Anchor& anchor) {
  const double min = JsonFieldNumber(spec, u"min"_s), max = JsonFieldNumber(spec, u"max"_s);
  const int radius = PixelCoordinate(IntegerField(spec, u"r"_s) * Graphics().kx);
  if (ErrorPending() || !DrawDialRanges(spec, anchor.pixel(), radius, min, max)) return;
  DrawDialBody(anchor.pixel(), radius);
  DrawNeedle(anchor.pixel(), radius, Fraction(value, min, max) * kPi);
  SetBrush(kDialFace);
  Graphics().layer(kLayer).penWidth = 1;
}

// --- panel ---

void Panel(double value, const QString& spec, const Anchor& anchor) {
  LayerTools& tools = Graphics().layer(kLayer);
  tools.fontSize = std::clamp(RoundToInt(IntegerField(spec, u"fontsize"_s) * Graphics().kx), 1, 1000);
  tools.fontName = JsonFieldText(spec, u"fontname"_s);
  const QString format = JsonFieldText(spec, u"format"_s);
  const QString groupSeparator = QLocale::system().groupSeparator();
  const QChar group = groupSeparator.isEmpty() ? QChar(u',') : groupSeparator[0];
  const QString text = FormatNumberPicture(value, format, SystemDecimalSeparator(), group);
  const QSize textSize = TextSize(kLayer, text);
  int width = textSize.width();
  for (const QString& range : JsonObjectList(spec, u"ranges"_s)) {
    const int colour = NamedColour(JsonFieldText(range, u"color"_s), kWhite);
    const double low = JsonFieldNumber(range, u"min"_s), high = JsonFieldNumber(range, u"max"_s);
    if (ErrorPending()) return;
    if (low <= value && value <= high) SetBrush(colour);
    for (const double bound : {low, high})
      width = std::max(width, TextSize(kLayer, FormatNumberPicture(bound, format, u'.', group)).width());
  }
  if (ErrorPending()) return;
  const QPoint c = anchor.pixel();
  const QPoint boxTopLeft(c.x(), c.y() - textSize.height() - 2), boxBottomRight(c.x() + width + 5, c.y());
  if (LayerPainter painter(kLayer); painter)
    painter->drawRect(BoxBetween(boxTopLeft - QPoint(1, 1), boxBottomRight + QPoint(2, 2)));
  // The box is wider and taller than the text, so the centred text needs no clipping.
  const QPoint room = boxBottomRight - boxTopLeft - QPoint(textSize.width(), textSize.height());
  WriteText(kLayer, boxTopLeft + QPoint(room.x() / 2, room.y() / 2), text);
}

using IndicatorDrawer = void (*)(double value, const QString& spec, const Anchor& anchor);

constexpr struct {
  QStringView type;
  IndicatorDrawer draw;
} kIndicatorTypes[] = {
    {u"thermometer", Thermometer}, {u"rect_vert", VerticalBar}, {u"rect_horiz", HorizontalBar},
    {u"arrow_indicator", Dial},    {u"panel", Panel},
};

// Gra_Indicator(Value, X, Y, Specifications): an unknown type draws nothing.
void GraIndicator(GeneralCall& call) {
  const QString& spec = call.text(3);
  const QString type = JsonFieldText(spec, u"type"_s).toLower();
  JsonFieldText(spec, u"name"_s);  // names the indicator for the script's reader; not drawn
  if (ErrorPending()) return;
  const BrushKeeper brush;
  for (const auto& entry : kIndicatorTypes)
    if (type == entry.type) entry.draw(call.number(0), spec, Anchor(call.number(1), call.number(2)));
}

constexpr UnitFunctionEntry kIndicatorFunctions[] = {
    {u"Gra_Indicator", GraIndicator},
};

}  // namespace

std::span<const UnitFunctionEntry> IndicatorFunctions() {
  return kIndicatorFunctions;
}
