// Controls inside other programs' windows, reached through the accessibility bus (AT-SPI):
// toolkits such as Qt and GTK draw their controls without X windows of their own. Each
// accessible object a script meets gets a handle of ours, kept for the program's life; handles
// lie above every X window id, so one number space holds both.
//
// A control's class is its role name ("push button", "text", "check box", "list", ...), its
// title its accessible name. Every function needs a display; without an accessibility bus the
// windows simply have no controls.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "automation/x11_display.h"

inline constexpr quint64 kFirstAccessibleHandle = 0x60000000;

bool IsAccessibleHandle(quint64 handle);
// Known handles only (those handed out and not yet gone).
bool AccessibleExists(quint64 handle);

// The accessible objects below an X top-level window (inside its frame) or below a control,
// depth first: a path part finds a control at any depth under the part before it.
std::vector<quint64> AccessibleDescendants(quint64 parent);
// The direct accessible children of a control, in order.
std::vector<quint64> AccessibleChildren(quint64 handle);
// The accessible frame of an X top-level window (0 for other windows and when the program
// exposes none).
quint64 AccessibleFrameOf(XWindow window);
// The control's parent (0 for the frame of a window and above).
quint64 AccessibleParent(quint64 handle);
// The X top-level window a control lies in.
XWindow TopLevelOf(quint64 handle);

QString AccessibleRole(quint64 handle);
QString AccessibleName(quint64 handle);
// A control's text: the contents of a text control, otherwise its name.
QString AccessibleText(quint64 handle);
bool SetAccessibleText(quint64 handle, const QString& text);
// The text selection from `start` to `end` (-1: the end of the text).
bool SelectAccessibleText(quint64 handle, qint64 start, qint64 end);
std::optional<QRect> AccessibleRect(quint64 handle);
bool FocusAccessible(quint64 handle);

// Runs the control's action: the first of `preferred` (names as the toolkit gives them) that it
// has, else its first action. False when it has none.
bool DoAccessibleAction(quint64 handle, const QStringList& preferred = {});
QStringList AccessibleActions(quint64 handle);

enum class AccessibleState { Checked, Indeterminate, Enabled, Selected };
bool HasAccessibleState(quint64 handle, AccessibleState state);

// The selectable items of a list or combo box (for a combo box, those of its list).
std::vector<quint64> ListItems(quint64 handle);
bool SelectListItem(quint64 handle, qint64 index);
// The index of the first selected item, -1 when none.
qint64 SelectedListItem(quint64 handle);
