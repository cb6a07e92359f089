// Menus of other programs' windows, from their accessibility trees.
#include "automation/accessible_menus.h"
#include "automation/os_families.h"
#include "engine/local_texts.h"
#include "engine/script_error.h"

namespace {

constexpr qint64 kMenuHandleLimit = qint64(1) << 32;

qint64 MenuHandleArgument(const GeneralCall& call, int n) {
  const qint64 value = IntegerArgument(call, n);
  if (value < 0 || value >= kMenuHandleLimit)
    throw ScriptException(Bilingual(u"Function %1: menu handle %2 is out of range (0 - 4294967295).",
                                    u"Функция %1: дескриптор меню %2 вне допустимого диапазона (0 - 4294967295).")
                              .arg(call.name())
                              .arg(value));
  return value;
}

[[noreturn]] void NoSuchItem(const GeneralCall& call, qint64 id) {
  throw ScriptException(Bilingual(u"Function %1: the menu has no item with the identifier %2.",
                                  u"Функция %1: в меню нет пункта с идентификатором %2.")
                            .arg(call.name())
                            .arg(id));
}

void GetWindowMenuHandle(GeneralCall& call) {
  const quint64 window = NonNegativeArgument(call, 0);
  if (HaveDisplay()) call.setNumber(double(MenuBarOf(window)));
}

void GetWindowMenuItems(GeneralCall& call) {
  const quint64 menu = MenuHandleArgument(call, 0);
  if (HaveDisplay()) call.setText(MenuListing(menu));
}

// The identifier of the first item whose caption contains the text; 0 when none does. An item
// that opens a submenu has no identifier to give.
void GetWindowMenuItemID(GeneralCall& call) {
  const quint64 menu = MenuHandleArgument(call, 0);
  if (!HaveDisplay()) return;
  const auto found = FindMenuItemByCaption(menu, call.text(1));
  if (found && found->id == 0)
    throw ScriptException(Bilingual(u"Function %1: the menu item \"%2\" opens a submenu and has no identifier.",
                                    u"Функция %1: пункт меню \"%2\" открывает подменю и не имеет идентификатора.")
                              .arg(call.name(), call.text(1)));
  call.setNumber(found ? double(found->id) : 0);
}

void MenuItemGetState(GeneralCall& call) {
  const quint64 menu = MenuHandleArgument(call, 0);
  const qint64 id = NonNegativeArgument(call, 1);
  if (!HaveDisplay()) return;
  if (menu == 0 || id == 0) return call.setNumber(-1);
  const auto found = FindMenuItemById(menu, id);
  if (!found) NoSuchItem(call, id);
  call.setNumber(double(MenuItemState(found->item)));
}

void MenuItemExecute(GeneralCall& call) {
  const quint64 window = NonNegativeArgument(call, 0);
  const qint64 id = NonNegativeArgument(call, 1);
  if (!HaveDisplay()) return;
  if (const auto found = FindMenuItemById(MenuBarOf(window), id)) RunMenuItem(found->item);
}

constexpr UnitFunctionEntry kMenuFunctions[] = {
    {u"GetWindowMenuHandle", GetWindowMenuHandle},
    {u"GetWindowMenuItems", GetWindowMenuItems},
    {u"GetWindowMenuItemID", GetWindowMenuItemID},
    {u"MenuItemGetState", MenuItemGetState},
    {u"MenuItemExecute", MenuItemExecute},
};

}  // namespace

std::span<const UnitFunctionEntry> MenuFunctions() { return kMenuFunctions; }
