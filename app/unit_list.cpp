#include "app/unit_list.h"

#include "automation/database_unit.h"
#include "automation/os_unit.h"
#include "engine/function_units.h"
#include "functions/general_unit.h"
#include "functions/js_functions.h"
#include "graphics/dialogs.h"
#include "graphics/graphics_unit.h"
#include "net/net_units.h"

namespace {

// The units that are built, in the order they are opened.
const UnitOpener kUnits[] = {
    GeneralUnit,
    JavaScriptUnit,
    GraphicsUnit,
    DialogUnit,
    DatabaseUnit,
    FtpUnit,
    ArduinoUnit,
    OsUnit,
};

}  // namespace

void RegisterUnits(std::initializer_list<UnitOpener> extraUnits) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    for (UnitOpener open : kUnits) RegisterFunctionUnit(&open());
  }
  for (UnitOpener open : extraUnits) RegisterFunctionUnit(&open());
}
