// Long texts written to stdout or stderr a piece at a time: no copy of the whole text is made,
// so a value too large for one more copy in memory still reaches the stream.
#pragma once

#include <QByteArray>
#include <QStringView>
#include <cstdio>
#include <functional>

// Writes `text` through `encode`, which turns one piece into the bytes written. Pieces never
// split a CR LF pair or a surrogate pair. False when memory ran out (what came before is
// written).
bool WriteInPieces(std::FILE* stream, QStringView text,
                   const std::function<QByteArray(QStringView piece)>& encode);
