#include "automation/desktop_objects.h"

#include "automation/accessibility.h"
#include "automation/accessible_messages.h"
#include "automation/x11_windows.h"

std::vector<quint64> ChildrenOf(quint64 parent) {
  if (IsAccessibleHandle(parent)) return AccessibleDescendants(parent);
  std::vector<quint64> children;
  for (XWindow child : ChildWindows(parent)) children.push_back(child);
  if (parent != 0)
    for (quint64 control : AccessibleDescendants(parent)) children.push_back(control);
  return children;
}

bool HasClassName(quint64 handle, const QString& className) {
  if (IsAccessibleHandle(handle)) return AccessibleRole(handle).compare(className, Qt::CaseInsensitive) == 0;
  return WindowHasClass(handle, className);
}

QString TitleOf(quint64 handle) { return IsAccessibleHandle(handle) ? AccessibleName(handle) : WindowTitle(handle); }

QString TextOf(quint64 handle) { return IsAccessibleHandle(handle) ? AccessibleText(handle) : WindowTitle(handle); }

bool SetTextOf(quint64 handle, const QString& text) {
  return IsAccessibleHandle(handle) ? SetAccessibleText(handle, text) : SetWindowTitle(handle, text);
}

bool HandleExists(quint64 handle) { return IsAccessibleHandle(handle) ? AccessibleExists(handle) : WindowExists(handle); }

std::optional<QRect> RectOf(quint64 handle, bool withFrame) {
  return IsAccessibleHandle(handle) ? AccessibleRect(handle) : WindowRect(handle, withFrame);
}

qint64 SendMessageTo(quint64 handle, qint64 message, const MessageParameter& wParam, const MessageParameter& lParam) {
  return IsAccessibleHandle(handle) ? ActOnControlMessage(handle, message, wParam, lParam)
                                    : ActOnWindowMessage(handle, message, wParam, lParam);
}

bool ActivateHandle(quint64 handle) {
  if (!IsAccessibleHandle(handle)) return ActivateWindow(handle);
  const bool active = ActivateWindow(TopLevelOf(handle));
  FocusAccessible(handle);
  return active;
}
