// Name and text helpers shared by the engine: ASCII-only case folding, control-character
// trimming and the identifier alphabet.
#pragma once

#include <QString>

// Upper/lower-cases the ASCII letters a-z only; Cyrillic, Greek and the rest stay as written.
QString AsciiUpper(QStringView s);
// The text before the first "(" (all of it without one): the name of a call.
inline QString TextBeforeBracket(const QString& text) { return text.left(text.indexOf(u'(')); }

QString AsciiLower(QStringView s);
// Name equality without regard to ASCII case.
bool SameName(QStringView a, QStringView b);

// Removes every character with a code of 32 or below at both ends.
QString TrimControl(QStringView s);
inline bool IsTrimmable(QChar c) {
  return c.unicode() <= 32;
}

// Identifier alphabet: Latin letters, "_", Greek and basic Cyrillic letters, subscript digits;
// digits 0-9 may follow the first character.
inline bool IsIdentifierStart(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' ||
         (u >= 0x0391 && u <= 0x03A9) || (u >= 0x03B1 && u <= 0x03C9) ||
         (u >= 0x0410 && u <= 0x044F) || (u >= 0x2080 && u <= 0x2089);
}
inline bool IsIdentifierChar(QChar c) {
  return IsIdentifierStart(c) || (c.unicode() >= '0' && c.unicode() <= '9');
}
inline bool IsAsciiDigit(QChar c) {
  return c.unicode() >= '0' && c.unicode() <= '9';
}
