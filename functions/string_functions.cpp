// General functions: string.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> StringFunctions() { return {}; }
