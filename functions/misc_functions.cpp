// General functions: misc.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> MiscFunctions() { return {}; }
