// Reading a file's bytes into the engine's shared ByteBuffer.
#pragma once

#include <QString>

// Fills ByteBuffer with the bytes after the first `offset` bytes of the file. A missing file
// changes nothing; an offset at or past the end sets message 183. A file too large for memory
// sets message 170.
void ReadFileBytes(const QString& fileName, qint64 offset);
