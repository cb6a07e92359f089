// The menu bar of a window as its accessibility tree shows it: listing, identifiers, states and
// running an item. An item's identifier is made from the captions on its path, so it stays the
// same as long as the menu does, in every run; items that open a submenu have none.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// The window's menu bar (0 when it has none).
quint64 MenuBarOf(quint64 window);
// The whole tree: per item a CR, the level as "%2d|", four blanks per level, the position,
// " - " and the caption.
QString MenuListing(quint64 menu);

struct MenuItemFound {
  quint64 item = 0;
  qint64 id = 0;  // 0 for an item that opens a submenu
};
// The first item (depth first) whose caption contains `caption`.
std::optional<MenuItemFound> FindMenuItemByCaption(quint64 menu, const QString& caption);
// The item with this identifier.
std::optional<MenuItemFound> FindMenuItemById(quint64 menu, qint64 id);
// Win32 menu-state flags of an item: MF_CHECKED (8), MF_GRAYED (1).
qint64 MenuItemState(quint64 item);
bool RunMenuItem(quint64 item);
