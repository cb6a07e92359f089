// Lines written to and read from the console: what console mode shows and the answers it reads.
#pragma once

#include <QString>
#include <cstdio>

// Writes `text` and a line break; each CR LF and each lone CR ends a line. A text too large for
// memory ends with the out-of-memory message where it could not go on.
void WriteConsoleLine(std::FILE* stream, const QString& text);
// Reads one line (UTF-8, without its LF or CR LF); false at the end of input.
bool ReadConsoleLine(std::FILE* stream, QString& line);
