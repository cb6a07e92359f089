// One view of what a script's handle can name: an X window or a control reached through the
// accessibility bus. The window functions work on these without asking which it is.
#pragma once

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

#include "automation/window_messages.h"

// The top-level windows for 0; an X window's X children, then the controls inside it; a
// control's controls.
std::vector<quint64> ChildrenOf(quint64 parent);
bool HasClassName(quint64 handle, const QString& className);
// What a path's title is matched against: the X window's title or the control's name.
QString TitleOf(quint64 handle);
// The text GetWindowText gives: the title, or a text control's contents.
QString TextOf(quint64 handle);
bool SetTextOf(quint64 handle, const QString& text);
bool HandleExists(quint64 handle);
std::optional<QRect> RectOf(quint64 handle, bool withFrame);
qint64 SendMessageTo(quint64 handle, qint64 message, const MessageParameter& wParam, const MessageParameter& lParam);
// Activates the window (a control: its window, then the control gets the focus).
bool ActivateHandle(quint64 handle);
