// Writing files without losing what they held. Every place that replaces or extends a file
// goes through these two functions, so that a full disk, a failed write or an unusual target
// never leaves a file emptied, cut short, with a partial tail, or turned into something else.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Writes a file's new bytes to `out`; false when a write failed. Writes reach the file at once
// (no buffer), so a failed write is reported by the write itself.
using FileFill = std::function<bool(QIODevice& out)>;

// Replaces the content of the file at `path` (a symbolic link is followed) with what `fill`
// writes; true only when every byte reached the disk. On failure the old content stays and
// `error`, when given, receives the system's reason.
// - A regular file with one link, or a new file: a fresh copy is written beside it, synced,
//   given the old file's owner and mode, and renamed over it.
// - A regular file with more links, one whose owner this process cannot give to a copy, or one
//   in a folder that takes no new entry: the new bytes are built in memory, the disk space they
//   need is reserved, and then they are written over the file in place.
// - Anything else (a FIFO, a device) is written directly and stays what it is; a FIFO without a
//   reader is refused instead of waited for.
bool ReplaceFileContents(const QString& path, const FileFill& fill, QString* error = nullptr);
bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Adds what `fill` writes to the end of the existing file at `path`; on failure the file is cut
// back to its old length.
bool AppendToFile(const QString& path, const FileFill& fill, QString* error = nullptr);
