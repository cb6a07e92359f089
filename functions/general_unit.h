// The unit of the general functions. Each family (strings, math, dates, files, arrays,
// matrices, misc, commands, regular expressions) lists its functions in a table of
// UnitFunctionEntry; the unit's dispatcher is a HandlerTable over them.
#pragma once

#include <QList>
#include <QString>
#include <span>

#include "engine/function_units.h"
#include "unit_support/descriptions.h"
#include "unit_support/call_frame.h"

// The families of general functions; each is defined in its own file.
std::span<const UnitFunctionEntry> StringFunctions();
std::span<const UnitFunctionEntry> MathFunctions();
std::span<const UnitFunctionEntry> DateTimeFunctions();
std::span<const UnitFunctionEntry> FileFunctions();
std::span<const UnitFunctionEntry> ArrayFunctions();
std::span<const UnitFunctionEntry> MatrixFunctions();
std::span<const UnitFunctionEntry> MiscFunctions();
std::span<const UnitFunctionEntry> CommandFunctions();
std::span<const UnitFunctionEntry> RegExpFunctions();

// The math functions computed directly by numeric programs (see NumericFunction).
NumericFunction MathNumericFunction(const T_FunctionDescription& function);

// The dispatcher of the general table: runs the function with the canonical `name`.
void CallGeneralFunction(const QString& name, const TWordArray& args, TWordStatus& result);

// State the families keep between calls, back to start-up.
void ResetRegExpSearch();

class FunctionUnit;
// The general unit, for the unit list.
FunctionUnit& GeneralUnit();

