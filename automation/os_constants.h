// The named constants of the system-automation unit: window messages, virtual-key codes,
// mouse-input, window-placement and menu flags (229 entries of the constants table).
#pragma once

void AddOsConstants();
