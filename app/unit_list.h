// The function units of the program, listed in one place: the window, console mode, the tools
// and the tests register the same units from here.
#pragma once

#include <initializer_list>

class FunctionUnit;
using UnitOpener = FunctionUnit& (*)();

// Registers every unit of the program with the engine (once), then `extraUnits`, which take the
// place of a unit of the same word kind (tests plug in units of their own this way).
void RegisterUnits(std::initializer_list<UnitOpener> extraUnits = {});
