// Script files on disk: reading and atomic writing of text files, and the include blocks that
// splice other script files into Engine().ScriptLines and split them off again on saving.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The folder and encoding parts of the file functions, so one include brings all of them.
#include "engine/program_folder.h"
#include "engine/text_codec.h"

// The decoded lines of the file, split at CR LF, LF or a lone CR (a final line break adds no
// empty line), each tab replaced by two spaces. *ok is false when the file cannot be read.
QStringList ReadScriptFile(const QString& path, bool* ok);

// Writes UTF-8 with the mark EF BB BF, lines joined by CR LF, a CR LF after the last line only
// when finalLineBreak, through ReplaceFileContents: on failure the old file (if any) stays as it
// was.
bool WriteTextFileAtomic(const QString& path, const QStringList& lines, bool finalLineBreak);

// A line that, trimmed and upper-cased, begins with "#" or ";" followed (after blanks) by
// "INCLUDE". *includeName receives the rest, trimmed and upper-cased.
bool IsIncludeLine(const QString& line, QString* includeName);
// "#END INCLUDE " + includeName: the line that closes an expanded block.
QString IncludeEndLine(const QString& includeName);
// The file an include names: a path when it has a separator, else a file in ScriptsFolder().
// Names arrive upper-cased, so each part that does not exist as written is matched against the
// folder's entries without regard to case (first in sorted order).
QString ResolveIncludeFile(const QString& includeName);

// Expands every include line of Engine().ScriptLines not yet followed by its end line: the
// file's lines and the end line go after it, and are expanded in turn. Ends quietly at the first
// missing include file, beyond 32 nested blocks or beyond 100000 script lines.
void ExpandIncludes();

// Saves the script: each include block (include line starting in the first column, body, end
// line) is written back to its include file when the file's text differs, and removed from the
// saved text. A block without an end line stops that: its include line is marked "#???INCLUDE"
// and *failedIncludeLine is its index (else -1). ".txt" replaces a missing or empty extension;
// *savedName is the name written. False only when a write failed.
bool SaveScriptFile(const QString& fileName, const QStringList& scriptLines, int* failedIncludeLine,
                    QString* savedName);
