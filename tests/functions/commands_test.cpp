#include "function_fixture.h"
