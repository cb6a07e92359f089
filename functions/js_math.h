// The Math functions of the JavaScript table computed without the JavaScript engine, where the
// result is the one the engine gives.
#pragma once

#include <QString>

#include "engine/function_units.h"
#include "engine/words.h"
#include "unit_support/descriptions.h"

// The value of Math.<lowerName>(args) when it can be computed here: every argument a number
// whose text JavaScript reads as a plain numeric literal, and a finite result. False when the
// call must go to the JavaScript engine.
bool NativeMathValue(const QString& lowerName, const TWordArray& args, double& value);

// The unary Math functions as numeric programs compute them (see NumericFunction): the same
// values as NativeMathValue, under the same conditions.
NumericFunction JavaScriptNumericFunction(const T_FunctionDescription& function);
