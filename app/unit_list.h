// The function units of the program, listed in one place: the window, console mode, the tools
// and the tests register the same units from here.
#pragma once

// Registers every unit with the engine (once; later calls do nothing).
void RegisterUnits();
