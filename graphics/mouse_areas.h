// The mouse areas of the graphics area: rectangles that call a script function when clicked
// (Define_Mouse_Click_Handler), the hit test while the pointer moves, the pointer position in
// user coordinates with its status-bar text, and Get_User_Cursor_Pos.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <span>

#include "unit_support/call_frame.h"

// One clickable area, in layer pixels (right and bottom exclusive). Handler areas name a script
// function; picture areas name their variables instead.
struct MouseArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  QString varNameSpecification;
  QString varNameStatus;
  int transform = 0;
  QString functionName;

  bool contains(QPoint p) const { return left <= p.x() && p.x() < right && top <= p.y() && p.y() < bottom; }
};

// The areas in the order of creation; a new coordinate system empties the list.
QList<MouseArea>& MouseAreas();
void ClearMouseAreas();
// The index of the area under the pointer, -1 when none.
int HoveredMouseArea();

// "X=x  Y=y" with as many decimals as the width of the x range calls for; "" for a range
// outside 0.2..20000.
QString PointerPositionText(double x, double y, double rangeWidth);

// What the surface reports (installed by the graphics unit): see graphics_surface.h.
// True while the pointer is over a mouse area (the surface shows the hand cursor).
bool PointerMovedOverArea(QPoint displayPixel);
void PointerLeftArea();
void PointerReleasedOverArea(QPoint displayPixel, int button);

std::span<const UnitFunctionEntry> MouseAreaFunctions();
