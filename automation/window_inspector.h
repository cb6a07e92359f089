// What lies under a point of the screen, as a script would reach it: the control (or X window)
// there, the shortest path FindWindow finds it by, and what can be done with it.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

struct InspectedControl {
  quint64 handle = 0;  // 0: nothing under the point
  quint64 window = 0;  // its top-level window
  QString path;        // for FindWindow; empty when no path leads to it
  QString className, title;
  QRect rect;
  QString role;        // the accessible role, or "X window"
  QStringList actions;
  QString menuListing;  // the window's menu tree as GetWindowMenuItems gives it
};

// The smallest control or window under the screen point; windows of the process `skipProcess`
// (this program's own) are looked through.
InspectedControl InspectPoint(const QPoint& point, qint64 skipProcess = 0);

// The shortest path of classes and titles that FindWindow resolves to the handle, "" when
// there is none.
QString ShortestPath(quint64 handle);
