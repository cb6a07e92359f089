// The families of the system-automation unit's functions and the argument rules they share.
#pragma once

#include <span>

#include "unit_support/call_frame.h"

std::span<const UnitFunctionEntry> WindowFunctions();
std::span<const UnitFunctionEntry> InputFunctions();
std::span<const UnitFunctionEntry> MenuFunctions();
std::span<const UnitFunctionEntry> ProcessFunctions();

// The argument's text as a whole number (decimal or "$" hexadecimal); anything else raises an
// error that ends the step.
qint64 IntegerArgument(const GeneralCall& call, int n);
// The same, and it must not be negative.
qint64 NonNegativeArgument(const GeneralCall& call, int n);
// `value` (read from argument n) when it is not negative; else raises the error.
qint64 RequireNonNegative(const GeneralCall& call, int n, qint64 value);
// A key code: 0 to 255.
int KeyCodeArgument(const GeneralCall& call, int n);
// The display for a window, input or clipboard function; false (with the error raised) when
// there is no X display.
bool HaveDisplay();
