#include "ide/fold_ranges.h"

#include <algorithm>

namespace {

bool IsBlank(QChar c) { return c.unicode() <= 32; }

bool IsBlankLine(const QString& line) {
  return std::all_of(line.cbegin(), line.cend(), IsBlank);
}

// A comment line of a block: only the raw first character counts.
QChar CommentMark(const QString& line) {
  if (!line.isEmpty() && (line[0] == u'#' || line[0] == u';')) return line[0];
  return {};
}

// A continuation line: its first non-blank character is ">".
bool IsContinuation(const QString& line) {
  for (QChar c : line)
    if (!IsBlank(c)) return c == u'>';
  return false;
}

int IndentOf(const QString& line, int tabWidth) {
  int indent = 0;
  for (QChar c : line) {
    if (c == u'\t') indent += tabWidth;
    else if (IsBlank(c)) ++indent;
    else break;
  }
  return indent;
}

bool OpensBlock(const QString& line) {
  qsizetype i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  const QStringView rest = QStringView(line).mid(i);
  for (QStringView word : {u"function", u"repeat", u"for", u"if", u"else"}) {
    if (!rest.startsWith(word, Qt::CaseInsensitive)) continue;
    if (rest.size() == word.size()) return true;
    const QChar next = rest[word.size()];
    if (!next.isLetterOrNumber() && next != u'_') return true;
  }
  return false;
}

}  // namespace

QList<FoldRange> ComputeFoldRanges(const QStringList& lines, int tabWidth) {
  const int n = int(lines.size());
  QList<FoldRange> ranges;
  auto add = [&](int first, int last) {
    if (last > first) ranges.append({first, last});
  };

  // Comment blocks: runs of lines that begin with the same comment mark.
  for (int i = 0; i < n; ++i) {
    const QChar mark = CommentMark(lines[i]);
    if (mark.isNull() || (i > 0 && CommentMark(lines[i - 1]) == mark)) continue;
    int j = i;
    while (j + 1 < n && CommentMark(lines[j + 1]) == mark) ++j;
    add(i, j);
  }

  // Continuation blocks: the continued statement and its ">" lines.
  for (int i = 1; i < n; ++i) {
    if (!IsContinuation(lines[i]) || IsContinuation(lines[i - 1])) continue;
    int j = i;
    while (j + 1 < n && IsContinuation(lines[j + 1])) ++j;
    add(i - 1, j);
  }

  // Indentation blocks. The open blocks have strictly growing indentation.
  struct Open {
    int line;
    int indent;
  };
  QList<Open> open;
  auto closeFrom = [&](int indent, int closer) {
    while (!open.isEmpty() && open.last().indent >= indent) {
      int last = closer - 1;
      while (last > open.last().line && IsBlankLine(lines[last])) --last;
      add(open.last().line, last);
      open.removeLast();
    }
  };
  for (int i = 0; i < n; ++i) {
    const QString& line = lines[i];
    if (IsBlankLine(line) || !CommentMark(line).isNull() || IsContinuation(line)) continue;
    const int indent = IndentOf(line, tabWidth);
    closeFrom(indent, i);
    if (OpensBlock(line)) open.append({i, indent});
  }
  closeFrom(0, n);

  std::sort(ranges.begin(), ranges.end(), [](const FoldRange& a, const FoldRange& b) {
    return a.first != b.first ? a.first < b.first : a.last > b.last;
  });
  return ranges;
}

QList<int> FoldLevels(const QList<FoldRange>& ranges, const QStringList& lines) {
  const int n = int(lines.size());
  QList<int> change(n + 1, 0);
  QList<bool> header(n, false);
  for (const FoldRange& r : ranges) {
    if (r.first < 0 || r.last >= n || r.first >= r.last) continue;
    header[r.first] = true;
    ++change[r.first + 1];
    --change[r.last + 1];
  }
  QList<int> levels(n);
  int depth = 0;
  for (int i = 0; i < n; ++i) {
    depth += change[i];
    levels[i] = (kFoldLevelBase + depth) | (header[i] ? kFoldLevelHeaderFlag : 0) |
                (IsBlankLine(lines[i]) ? kFoldLevelWhiteFlag : 0);
  }
  return levels;
}
