// Comments, indents and continuation lines of script text.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// The code part of a line: everything before the first "#" or ";" outside an apostrophe
// literal, without the blanks right before it. Double quotes do not protect.
QString StripComment(const QString& line);

// Two script lines hold the same text: shared data is seen at once, else the characters are
// compared. Caches of what a line says keep its text and check it this way.
inline bool SameText(const QString& a, const QString& b) {
  return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

// One of 64 slots for a text, chosen by the address of its data. Texts taken from kept words
// come back as the same object, so a small table of the texts met last finds them again
// without hashing their characters; the slot's own text is checked with SameText.
inline constexpr std::size_t kTextDataSlots = 64;
inline std::size_t TextDataSlot(const QString& text) {
  const auto address = std::uintptr_t(text.constData());
  return std::size_t(((address >> 3) * 0x9E3779B97F4A7C15ull) >> 58);
}

// TrimControl(StripComment(line)) without copying: a view into the line.
QStringView CodeOf(const QString& line);

// Spaces before the first character of the code part; -1 for a blank or comment-only line
// and for a continuation line (one whose first character is ">").
int LineIndentOf(const QString& line);

// Appends to CurrentLineText the continuation lines that follow CurrentLine.
void JoinContinuations();
