// General functions: math.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> MathFunctions() { return {}; }
