#include "script_runner.h"
