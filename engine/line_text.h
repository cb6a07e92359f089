// Comments, indents and continuation lines of script text.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>

// The code part of a line: everything before the first "#" or ";" outside an apostrophe
// literal, without the blanks right before it. Double quotes do not protect.
QString StripComment(const QString& line);

// Two script lines hold the same text: shared data is seen at once, else the characters are
// compared. Caches of what a line says keep its text and check it this way.
inline bool SameText(QStringView a, QStringView b) {
  return a.size() == b.size() && (a.data() == b.data() || a == b);
}

// TrimControl(StripComment(line)) without copying: a view into the line.
QStringView CodeOf(const QString& line);

// Spaces before the first character of the code part; -1 for a blank or comment-only line
// and for a continuation line (one whose first character is ">").
int LineIndentOf(const QString& line);

// Appends to CurrentLineText the continuation lines that follow CurrentLine.
void JoinContinuations();
