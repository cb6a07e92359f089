// General functions: file.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> FileFunctions() { return {}; }
