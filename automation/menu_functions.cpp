// Menus of other programs' windows. X windows carry no menus of their own: the functions
// answer "no menu" for every window.
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
  NonNegativeArgument(call, 0);
  if (HaveDisplay()) call.setNumber(0);
}

void GetWindowMenuItems(GeneralCall& call) {
  MenuHandleArgument(call, 0);
  if (HaveDisplay()) call.setText(QString());
}

void GetWindowMenuItemID(GeneralCall& call) {
  MenuHandleArgument(call, 0);
  if (HaveDisplay()) call.setNumber(0);
}

void MenuItemGetState(GeneralCall& call) {
  const qint64 menu = MenuHandleArgument(call, 0);
  const qint64 id = NonNegativeArgument(call, 1);
  if (!HaveDisplay()) return;
  if (menu == 0 || id == 0) return call.setNumber(-1);
  NoSuchItem(call, id);
}

void MenuItemExecute(GeneralCall& call) {
  NonNegativeArgument(call, 0);
  NonNegativeArgument(call, 1);
  HaveDisplay();
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
