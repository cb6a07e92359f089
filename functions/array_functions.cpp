// General functions: array.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> ArrayFunctions() { return {}; }
