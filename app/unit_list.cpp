#include "app/unit_list.h"

#include "automation/os_unit.h"
#include "engine/function_units.h"
#include "functions/general_unit.h"
#include "functions/js_functions.h"
#include "graphics/dialogs.h"
#include "graphics/graphics_unit.h"
#include "unit_support/described_unit.h"

namespace {

// The units that are built, in the order they are opened.
const UnitOpener kUnits[] = {
    GeneralUnit,
    JavaScriptUnit,
    GraphicsUnit,
    DialogUnit,
    OsUnit,
};

// Modules of later versions: their calls are validated and then answered with a clear error.
struct PendingModule {
  TableId table;
  const char16_t* english;
  const char16_t* russian;
};
constexpr PendingModule kPendingModules[] = {
    {TableId::DB, u"database", u"базы данных"},
    {TableId::FTP, u"FTP and UDP", u"FTP и UDP"},
    {TableId::Arduino, u"Arduino", u"Arduino"},
};

}  // namespace

void RegisterUnits(std::initializer_list<UnitOpener> extraUnits) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    for (UnitOpener open : kUnits) RegisterFunctionUnit(&open());
    for (const PendingModule& m : kPendingModules) {
      auto* unit = new DescribedUnit(m.table, QString::fromUtf16(m.english), QString::fromUtf16(m.russian));
      RegisterFunctionUnit(unit);  // lives as long as the program
    }
  }
  for (UnitOpener open : extraUnits) RegisterFunctionUnit(&open());
}
