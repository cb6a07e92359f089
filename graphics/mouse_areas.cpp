#include "graphics/mouse_areas.h"

#include <cmath>
#include <utility>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/event_calls.h"
#include "engine/run_host.h"
#include "graphics/graphics_families.h"
#include "graphics/pictograms.h"
#include "graphics/graphics_state.h"
#include "unit_support/graphics_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QList<MouseArea> g_areas;
int g_hovered = -1;

// The status-bar panel that shows the pointer position.
constexpr int kPointerPositionPanel = 5;
// What Get_User_Cursor_Pos answers while the graphics panel is hidden.
constexpr double kHiddenPanelX = -1000000000;

// How the pointer position is written for a width of the x range up to `widthUpTo`.
struct PositionFormat {
  double widthUpTo;
  int precision;  // significant digits
  int decimals;
};
constexpr double kNarrowestRange = 0.2;
constexpr PositionFormat kPositionFormats[] = {
    {2, 6, 3}, {20, 6, 2}, {200, 6, 1}, {2000, 5, 0}, {20000, 6, 0},
};

// A number with `decimals` decimals after rounding it to `precision` significant digits, the
// scientific form when its integer part has more digits than that.
QString FixedText(double value, int precision, int decimals) {
  const bool tooLong = value != 0 && std::floor(std::log10(std::fabs(value))) + 1 > precision;
  QString text = tooLong ? QString::number(value, 'E', precision - 1)
                         : QString::number(QString::number(value, 'g', precision).toDouble(), 'f', decimals);
  return text.replace(u'.', SystemDecimalSeparator());
}

// Stores the pointer position and shows it in the status bar; then the hit test.
bool TrackPointer(QPoint displayPixel) {
  GraphicsState& g = Graphics();
  g.pointerPixel = displayPixel;
  if (g.zoom > 0 && g.mapped()) {
    g.pointerUser = {displayPixel.x() / (g.kx * g.zoom) + g.x1, g.y2 - displayPixel.y() / (g.ky * g.zoom)};
    Host().SetStatusText(kPointerPositionPanel, PointerPositionText(g.pointerUser.x(), g.pointerUser.y(), g.x2 - g.x1));
  }
  g_hovered = -1;
  if (g.zoom <= 0) return false;
  const QPoint layerPixel(RoundToInt(displayPixel.x() / g.zoom), RoundToInt(displayPixel.y() / g.zoom));
  for (int i = 0; i < g_areas.size(); ++i)
    if (g_areas[i].contains(layerPixel)) g_hovered = i;  // the last matching area wins
  return g_hovered >= 0;
}

// The global float array "MouseCoordinates": the click in user coordinates and its button.
bool SetMouseCoordinates(int button) {
  const QString name = u"MouseCoordinates"_s;
  int index = FindArrayAtLevel(name, 0);
  if (index > 0 && Engine().Array(index).data_type != wkFloat) index = 0;
  if (index == 0) {
    // Declared global even when the click comes while a paused run is inside a function.
    const std::int32_t level = std::exchange(Engine().FunctionLevel, 0);
    index = DeclareArrayOf(name, {3}, wkFloat);
    Engine().FunctionLevel = level;
  }
  if (index == 0) return false;
  const t_arr_specification& a = Engine().Array(index);
  if (!a.P || a.P->floats.size() < 3) return false;
  const QPointF user = Graphics().pointerUser;
  a.P->floats[0] = user.x();
  a.P->floats[1] = user.y();
  a.P->floats[2] = button;
  return true;
}

void CallClickHandler(const QString& functionName, int button) {
  if (EventCallInProgress()) return;  // a handler is never entered twice
  if (!SetMouseCoordinates(button)) {
    Host().ShowMessageBox(Engine().ErrorText, MessageIcon::Error);
    Engine().ErrorText.clear();
    return;
  }
  TWordStatus result;
  CallScriptFunctionFromEvent(functionName, {}, result);
}

void DefineMouseClickHandler(GeneralCall& call) {
  qint64 firstDimension = 0, length = 0;
  const std::vector<double>* corners = FloatElements(call, firstDimension, length);
  if (!corners || corners->size() < 4) return;
  const QPoint first = WorldToPixel((*corners)[0], (*corners)[1]);
  const QPoint second = WorldToPixel((*corners)[2], (*corners)[3]);
  MouseArea area;
  area.left = first.x();
  area.top = second.y();
  area.right = second.x();
  area.bottom = first.y();
  area.functionName = call.text(1);
  g_areas.append(area);
}

void GetUserCursorPos(GeneralCall& call) {
  const GraphicsState& g = Graphics();
  QPointF position(kHiddenPanelX, 0);
  if (Surface().Shown()) position = call.integerOr(0, 0) != 0 ? QPointF(g.pointerPixel) : g.pointerUser;
  const QString name = NewTemporaryArrayName();
  TWordStatus x = EmptyWord, y = EmptyWord;
  x.kind = y.kind = wkFloat;
  x.float_val = position.x();
  y.float_val = position.y();
  if (DeclareArrayOf(name, {2}, wkFloat, {x, y}) != 0 && !call.failed()) call.setArray(name);
}

constexpr UnitFunctionEntry kMouseAreaFunctions[] = {
    {u"Define_Mouse_Click_Handler", DefineMouseClickHandler},
    {u"Get_User_Cursor_Pos", GetUserCursorPos},
};

}  // namespace

QList<MouseArea>& MouseAreas() { return g_areas; }

void ClearMouseAreas() {
  g_areas.clear();
  g_hovered = -1;
}

int HoveredMouseArea() { return g_hovered; }

QString PointerPositionText(double x, double y, double rangeWidth) {
  if (!(rangeWidth > kNarrowestRange)) return {};
  for (const PositionFormat& f : kPositionFormats)
    if (rangeWidth <= f.widthUpTo)
      return u"X="_s + FixedText(x, f.precision, f.decimals) + u"  Y="_s + FixedText(y, f.precision, f.decimals);
  return {};
}

bool PointerMovedOverArea(QPoint displayPixel) { return TrackPointer(displayPixel); }

void PointerLeftArea() {
  Graphics().pointerPixel = {-1, -1};
  g_hovered = -1;
}

void PointerReleasedOverArea(QPoint displayPixel, int button) {
  TrackPointer(displayPixel);
  if (g_hovered < 0 || g_hovered >= g_areas.size()) return;
  const MouseArea area = g_areas[g_hovered];  // the handler may set up a new coordinate system
  if (!area.functionName.isEmpty()) CallClickHandler(area.functionName, button);
  else ChoosePictogramStatus(area, displayPixel);
}

std::span<const UnitFunctionEntry> MouseAreaFunctions() { return kMouseAreaFunctions; }
