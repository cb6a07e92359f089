// Fold ranges of a script: comment blocks, continuation blocks and indentation blocks opened by
// function, repeat, for, if and else. QtCore only, so the rules can be checked without an editor.
#pragma once

#include <QList>
#include <QStringList>

struct FoldRange {
  int first = 0;  // the line shown when the range is collapsed
  int last = 0;   // the last line hidden with it
  friend bool operator==(const FoldRange&, const FoldRange&) = default;
};

// The foldable ranges of the lines (0-based, first < last), ordered by first line and, for
// ranges that begin on the same line, outer range first. A tab counts as tabWidth blanks.
QList<FoldRange> ComputeFoldRanges(const QStringList& lines, int tabWidth = 2);

// Fold levels in Scintilla's encoding: base level plus the number of ranges enclosing the line
// (not counting a range that begins on it), the header flag on lines that begin a range and
// the white flag on blank lines.
inline constexpr int kFoldLevelBase = 0x400;
inline constexpr int kFoldLevelWhiteFlag = 0x1000;
inline constexpr int kFoldLevelHeaderFlag = 0x2000;
QList<int> FoldLevels(const QList<FoldRange>& ranges, const QStringList& lines);
