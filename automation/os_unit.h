// The system-automation unit: other programs' windows, keys, mouse, menus, clipboard and
// processes, and the constants that go with them.
#pragma once

class FunctionUnit;

FunctionUnit& OsUnit();
