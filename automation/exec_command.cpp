#include "automation/exec_command.h"
