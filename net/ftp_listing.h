// The names of one type ("file" or "dir") in MLSD listing lines.
#pragma once

#include <QByteArray>
#include <QString>

// Each name followed by CR LF. Names come from servers as UTF-8 bytes; they are read a byte per
// character and every non-ASCII character is joined with the next one as a two-byte UTF-8
// sequence (which covers Cyrillic and the other two-byte alphabets).
QString ListedNames(const QByteArray& listing, QStringView type);
