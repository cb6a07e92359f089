// The families of graphics functions, each a table of {name, handler}; graphics_unit.cpp
// gathers them into the unit's dispatcher.
#pragma once

#include <span>
#include <vector>

#include "unit_support/call_frame.h"

std::span<const UnitFunctionEntry> CoordinateSystemFunctions();
std::span<const UnitFunctionEntry> DrawingFunctions();
std::span<const UnitFunctionEntry> PolylineFunctions();
std::span<const UnitFunctionEntry> PictureFunctions();
std::span<const UnitFunctionEntry> PictogramFunctions();
std::span<const UnitFunctionEntry> IndicatorFunctions();

// The elements of the float array named by argument 0, and how many items it has along its
// first dimension; nullptr for any other kind of array.
const std::vector<double>* FloatElements(const GeneralCall& call, qint64& firstDimension, qint64& length);

// The layer an argument selects: 1 when it is given and equals 1 or, when it is not given,
// `fallback`; layer 2 for any other value.
int LayerArgument(const GeneralCall& call, int n, int fallback = 1);

// The path of a picture file a script names: a bare name is taken from the "pictures" folder
// of the program folder, any other name like a data file's.
QString PicturePath(const QString& name);
