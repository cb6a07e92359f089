// General functions: datetime.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> DateTimeFunctions() { return {}; }
