#include "automation/window_inspector.h"

#include <algorithm>
#include <optional>

#include "automation/accessibility.h"
#include "automation/accessible_menus.h"
#include "automation/desktop_objects.h"
#include "automation/window_path.h"
#include "automation/x11_windows.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const WindowTree& Tree() {
  static const WindowTree tree{ChildrenOf, HasClassName, TitleOf};
  return tree;
}

QString ClassOf(quint64 handle) {
  if (IsAccessibleHandle(handle)) return AccessibleRole(handle);
  const QStringList names = WindowClassNames(handle);
  return names.isEmpty() ? QString() : names.last();
}

// The ways a path part can name the handle, shortest first.
QStringList PartsFor(quint64 handle) {
  QStringList parts;
  const QString className = ClassOf(handle), title = TitleOf(handle);
  if (!className.isEmpty() && !className.contains(u'/')) parts << className;
  if (!title.isEmpty() && !title.contains(u'"')) {
    parts << u"\"%1\""_s.arg(title);
    if (!className.isEmpty()) parts << u"\"%1\"%2"_s.arg(title, className);
  }
  return parts;
}

// The part that finds `target` from `parent`, if any.
std::optional<QString> PartFrom(quint64 parent, quint64 target) {
  for (const QString& part : PartsFor(target))
    if (FindWindowByPath(Tree(), part, parent, 0) == target) return part;
  return std::nullopt;
}

// The handle, then its parents up to its top-level window. A window's accessible frame is no
// step of a path: the window's own part stands for it.
std::vector<quint64> Ancestry(quint64 handle) {
  std::vector<quint64> chain{handle};
  quint64 current = handle;
  while (IsAccessibleHandle(current)) {
    const quint64 parent = AccessibleParent(current);
    current = parent ? parent : quint64(TopLevelOf(current));
    if (!parent || AccessibleParent(parent) != 0) chain.push_back(current);
  }
  const std::vector<XWindow> topLevels = TopLevelWindows();
  while (std::find(topLevels.begin(), topLevels.end(), current) == topLevels.end()) {
    current = ParentWindow(current);
    if (!current) break;
    chain.push_back(current);
  }
  return chain;
}

// The deepest X window under the point below a top-level window.
quint64 DeepestXWindow(quint64 window, const QPoint& point) {
  for (;;) {
    quint64 inside = 0;
    for (XWindow child : ChildWindows(window)) {
      const auto rect = WindowRect(child, false);
      if (rect && rect->contains(point)) {
        inside = child;
        break;
      }
    }
    if (!inside) return window;
    window = inside;
  }
}

}  // namespace

QString ShortestPath(quint64 handle) {
  const std::vector<quint64> chain = Ancestry(handle);  // handle first, top-level last
  QStringList path;
  quint64 anchor = 0;
  std::size_t next = chain.size();  // elements chain[0 .. next) are still below the anchor
  while (next > 0) {
    // The element closest to the target that one part reaches from the anchor.
    bool advanced = false;
    for (std::size_t i = 0; i < next && !advanced; ++i)
      if (const auto part = PartFrom(anchor, chain[i])) {
        path << *part;
        anchor = chain[i];
        next = i;
        advanced = true;
      }
    if (!advanced) return {};
  }
  return path.join(u'/');
}

InspectedControl InspectPoint(const QPoint& point, qint64 skipProcess) {
  InspectedControl found;
  for (XWindow window : TopLevelWindows()) {
    const auto rect = WindowRect(window, true);
    if (!rect || !rect->contains(point) || !WindowShownNormal(window)) continue;
    if (skipProcess && WindowProcessId(window) == skipProcess) continue;
    found.window = window;
    break;
  }
  if (!found.window) return found;
  quint64 handle = DeepestXWindow(found.window, point);
  // The smallest control that holds the point.
  qint64 smallest = -1;
  for (quint64 control : AccessibleDescendants(handle)) {
    const auto rect = AccessibleRect(control);
    if (!rect || !rect->contains(point)) continue;
    const qint64 area = qint64(rect->width()) * rect->height();
    if (smallest < 0 || area <= smallest) {
      smallest = area;
      handle = control;
    }
  }
  // A window no path can name (an inner X window without class or title, as in xterm) stands
  // for the nearest window around it that one can.
  QString path = ShortestPath(handle);
  for (quint64 outer : Ancestry(handle)) {
    if (!path.isEmpty()) break;
    if (outer == handle) continue;
    if (!(path = ShortestPath(outer)).isEmpty()) handle = outer;
  }
  found.handle = handle;
  found.path = path;
  found.className = ClassOf(handle);
  found.title = TitleOf(handle);
  found.rect = RectOf(handle, true).value_or(QRect());
  found.role = IsAccessibleHandle(handle) ? AccessibleRole(handle) : u"X window"_s;
  found.actions = AccessibleActions(handle);
  found.menuListing = MenuListing(MenuBarOf(found.window));
  return found;
}
