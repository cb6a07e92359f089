// Running a command line and capturing its console output.
#pragma once
