// General functions that run commands.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> CommandFunctions() { return {}; }
