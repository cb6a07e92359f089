// The texts of the value window that the variable views open for a variable or an array, and
// the "Show unprintable characters" rewrite of a string's value. Pure text: the IDE shows them.
#pragma once

#include <QString>

// The window text for a variable name, or an array name followed by "[]"; empty when no such
// variable or array exists. Lines are separated by CR, as in the array listing.
//
// A number is shown by its value text:
// - a text with "." : the value with up to 15 decimals (no trailing zeros), two blanks and the
//   exponent form d.ddddddddddddddE+ddd (15 significant digits, at least three exponent digits);
// - a text of decimal digits only that fits in 64 bits unsigned: the value, then "hex: " and
//   "bin: " lines;
// - anything else (negative whole numbers, exponent texts such as 1E20, INF, values too large
//   for 64 bits, texts that do not read as numbers): the value line alone.
QString VariableWindowText(const QString& name);

// The text between the first and the last apostrophe of a window text, with every character
// below 32 written as "#$" + its hexadecimal code and an apostrophe wherever printable text meets
// such a code: ab CR LF cd gives ab'#$D#$A'cd. A control character at either end gets no
// apostrophe on its outer side (CR ab gives #$D'ab). Empty without two apostrophes.
QString ShowUnprintableCharacters(const QString& windowText);

// Whether the window for this name offers "Show unprintable characters": only a string variable
// in apostrophes (kind wkString), never an array or another kind.
bool OffersUnprintableItem(const QString& name);
