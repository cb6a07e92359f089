// Loading a script file into the engine, ready for work mode.
#pragma once

#include <QString>

// Reads the file (encoding by its mark, tabs to two spaces), expands its includes and
// prepares it. A missing file gives message 170 through the error stop and an empty script.
// Returns false when the file could not be read.
bool LoadScript(const QString& fileName);
