#include "automation/accessible_menus.h"

#include <QCryptographicHash>
#include <functional>

#include "automation/accessibility.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxCaption = 256;
constexpr int kMaxMenuDepth = 12;
constexpr qint64 kChecked = 8, kGrayed = 1;

bool IsMenuRole(const QString& role) { return role == u"popup menu"_s || role == u"menu"_s; }

// The items of the submenu an item opens: those of a menu below it (Qt), or its own children
// when it is a menu itself (GTK). Empty for a plain item.
std::vector<quint64> SubmenuItems(quint64 item) {
  for (quint64 child : AccessibleChildren(item))
    if (IsMenuRole(AccessibleRole(child))) return AccessibleChildren(child);
  if (AccessibleRole(item) == u"menu"_s) return AccessibleChildren(item);
  return {};
}

qint64 IdOfPath(const QString& path) {
  const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Md5);
  const qint64 id = ((quint8(digest[0]) << 24) | (quint8(digest[1]) << 16) | (quint8(digest[2]) << 8) | quint8(digest[3])) &
                    0x7FFFFFFF;
  return id == 0 ? 1 : id;
}

// Visits every item depth first; the visitor returns true to stop.
using MenuVisitor = std::function<bool(quint64 item, int level, int position, const QString& caption, qint64 id)>;

bool Walk(const std::vector<quint64>& items, int level, const QString& path, const MenuVisitor& visit) {
  if (level > kMaxMenuDepth) return false;
  for (int position = 0; position < int(items.size()); ++position) {
    const quint64 item = items[std::size_t(position)];
    const QString caption = AccessibleName(item).left(kMaxCaption);
    const QString itemPath = path + u'/' + caption;
    const std::vector<quint64> submenu = SubmenuItems(item);
    if (visit(item, level, position, caption, submenu.empty() ? IdOfPath(itemPath) : 0)) return true;
    if (!submenu.empty() && Walk(submenu, level + 1, itemPath, visit)) return true;
  }
  return false;
}

std::vector<quint64> TopItems(quint64 menu) { return IsAccessibleHandle(menu) ? AccessibleChildren(menu) : std::vector<quint64>{}; }

}  // namespace

quint64 MenuBarOf(quint64 window) {
  for (quint64 control : AccessibleDescendants(window))
    if (AccessibleRole(control) == u"menu bar"_s) return control;
  return 0;
}

QString MenuListing(quint64 menu) {
  QString listing;
  Walk(TopItems(menu), 0, {}, [&](quint64, int level, int position, const QString& caption, qint64) {
    listing += u"\r%1|%2%3 - %4"_s.arg(level, 2).arg(QString(4 * level, u' ')).arg(position).arg(caption);
    return false;
  });
  return listing;
}

std::optional<MenuItemFound> FindMenuItemByCaption(quint64 menu, const QString& caption) {
  std::optional<MenuItemFound> found;
  Walk(TopItems(menu), 0, {}, [&](quint64 item, int, int, const QString& itemCaption, qint64 id) {
    if (itemCaption.contains(caption)) found = MenuItemFound{item, id};
    return found.has_value();
  });
  return found;
}

std::optional<MenuItemFound> FindMenuItemById(quint64 menu, qint64 id) {
  std::optional<MenuItemFound> found;
  Walk(TopItems(menu), 0, {}, [&](quint64 item, int, int, const QString&, qint64 itemId) {
    if (itemId == id) found = MenuItemFound{item, id};
    return found.has_value();
  });
  return found;
}

qint64 MenuItemState(quint64 item) {
  return (HasAccessibleState(item, AccessibleState::Checked) ? kChecked : 0) |
         (HasAccessibleState(item, AccessibleState::Enabled) ? 0 : kGrayed);
}

bool RunMenuItem(quint64 item) {
  return DoAccessibleAction(item, {u"press"_s, u"click"_s, u"activate"_s, u"toggle"_s});
}
