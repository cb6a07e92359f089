// General functions: matrix.
#include "functions/general_frame.h"

std::span<const GeneralFunctionEntry> MatrixFunctions() { return {}; }
