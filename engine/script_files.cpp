#include "engine/script_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <memory>
#include <vector>

#include "engine/engine_state.h"
#include "engine/file_writing.h"
#include "engine/names.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::size_t kMaxIncludeNesting = 32;
constexpr qsizetype kMaxExpandedLines = 100000;

QStringList SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines << text.mid(start, i - start);
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines << text.mid(start);
  return lines;
}

// For a line that, trimmed, begins with "#" or ";": the rest after the mark, trimmed and
// upper-cased.
bool CommentRemainder(const QString& line, QString* rest) {
  qsizetype first = 0;
  while (first < line.size() && IsTrimmable(line[first])) ++first;
  if (first == line.size() || (line[first] != u'#' && line[first] != u';')) return false;
  *rest = AsciiUpper(TrimControl(QStringView(line).mid(first + 1)));
  return true;
}

bool IsEndLineOf(const QString& line, const QString& includeName) {
  QString rest;
  return CommentRemainder(line, &rest) && rest == u"END INCLUDE "_s + includeName;
}

// The path with every part that does not exist as written replaced by the first entry of its
// folder, in sorted order, that matches without regard to case.
QString MatchCaseInsensitively(const QString& path) {
  if (!path.startsWith(u'/') || QFileInfo::exists(path)) return path;
  const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
  QString found;
  for (qsizetype k = 0; k < parts.size(); ++k) {
    QString next = found + u'/' + parts[k];
    if (!QFileInfo::exists(next)) {
      QStringList entries =
          QDir(found.isEmpty() ? u"/"_s : found)
              .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDir::Unsorted);
      std::sort(entries.begin(), entries.end());
      const auto match = std::find_if(entries.cbegin(), entries.cend(), [&](const QString& e) {
        return e.compare(parts[k], Qt::CaseInsensitive) == 0;
      });
      if (match == entries.cend()) return found + u'/' + parts.mid(k).join(u'/');
      next = found + u'/' + *match;
    }
    found = next;
  }
  return found;
}

// ---- Expanding -------------------------------------------------------------------------------

// Lines to walk, with the indices of those that could be an end line, so that looking for an
// end line need not upper-case every following line.
struct WalkText {
  QStringList lines;
  std::vector<qsizetype> endCandidates;

  explicit WalkText(QStringList text) : lines(std::move(text)) {
    for (qsizetype i = 0; i < lines.size(); ++i)
      if (lines[i].contains(u"INCLUDE"_s, Qt::CaseInsensitive) &&
          AsciiUpper(lines[i]).contains(u"#END INCLUDE "_s))
        endCandidates.push_back(i);
  }
};

// The walk builds the expanded script in a new list instead of inserting into ScriptLines, so
// that a runaway expansion up to the line limit stays linear. Each open block is a level: the
// included file's lines still to walk and the end line that follows them. Level 0 is the
// script itself; together the levels hold exactly the lines after the current one.
class IncludeExpander {
 public:
  explicit IncludeExpander(const QStringList& script) : total_(script.size()) {
    levels_.push_back({std::make_shared<const WalkText>(script), 0, {}});
  }

  QStringList Run() {
    while (true) {
      Level& level = levels_.back();
      if (level.next == level.text->lines.size()) {
        if (levels_.size() == 1) break;
        out_ << level.endLine;
        levels_.pop_back();
        continue;
      }
      const QString& line = level.text->lines[level.next++];
      out_ << line;
      QString name;
      if (!IsIncludeLine(line, &name)) continue;
      QString endLine = IncludeEndLine(name);
      if (SkipPastEndLine(endLine)) continue;
      const std::shared_ptr<const WalkText> file = Load(name);
      if (!file || levels_.size() > kMaxIncludeNesting ||
          total_ + file->lines.size() + 1 > kMaxExpandedLines) {
        CopyUnwalked(0, levels_[0].text->lines.size());
        break;
      }
      total_ += file->lines.size() + 1;
      levels_.push_back({file, 0, std::move(endLine)});
    }
    return out_;
  }

  // The walk looked for an include file. Otherwise every include line already had its end line
  // after it, and the result is the script unchanged.
  bool ReadFiles() const { return readFiles_; }

 private:
  struct Level {
    std::shared_ptr<const WalkText> text;
    qsizetype next = 0;
    QString endLine;  // empty for the script itself
  };

  // Looks for the end line among the following lines, nearest first; when found, the lines up
  // to it are already expanded: they are copied unwalked.
  bool SkipPastEndLine(const QString& endLine) {
    for (std::size_t k = levels_.size(); k-- > 0;) {
      const Level& level = levels_[k];
      const std::vector<qsizetype>& candidates = level.text->endCandidates;
      for (auto it = std::lower_bound(candidates.begin(), candidates.end(), level.next);
           it != candidates.end(); ++it) {
        if (AsciiUpper(level.text->lines[*it]).contains(endLine)) {
          CopyUnwalked(k, *it + 1);
          return true;
        }
      }
      if (level.endLine.contains(endLine)) {  // the run loop then emits it and closes level k
        CopyUnwalked(k, level.text->lines.size());
        return true;
      }
    }
    return false;
  }

  // Copies the levels above `keep` with their end lines, and level `keep` up to `stop`.
  void CopyUnwalked(std::size_t keep, qsizetype stop) {
    while (levels_.size() > keep + 1) {
      Level& level = levels_.back();
      out_ += level.text->lines.mid(level.next);
      out_ << level.endLine;
      levels_.pop_back();
    }
    Level& level = levels_[keep];
    out_ += level.text->lines.mid(level.next, stop - level.next);
    level.next = stop;
  }

  // The include file's lines, read once per walk; null when the file is missing or unreadable.
  std::shared_ptr<const WalkText> Load(const QString& includeName) {
    readFiles_ = true;
    if (const auto cached = files_.constFind(includeName); cached != files_.cend()) return *cached;
    const QString path = ResolveIncludeFile(includeName);
    bool ok = false;
    QStringList lines;
    if (QFileInfo(path).isFile()) lines = ReadScriptFile(path, &ok);
    if (!ok) return nullptr;
    auto text = std::make_shared<const WalkText>(std::move(lines));
    files_.insert(includeName, text);
    return text;
  }

  std::vector<Level> levels_;
  QStringList out_;
  qsizetype total_;
  QHash<QString, std::shared_ptr<const WalkText>> files_;
  bool readFiles_ = false;
};

// The script as the last expansion left it without reading a file: the same lines would expand
// to themselves again.
QStringList& SettledScript() {
  static QStringList settled;
  return settled;
}

// ---- Saving ----------------------------------------------------------------------------------

bool FileHasText(const QString& path, const QString& text) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && DecodeScriptBytes(file.readAll()) == text;
}

QString WithTxtExtension(const QString& fileName) {
  const qsizetype slash = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
  const qsizetype dot = fileName.lastIndexOf(u'.');
  if (dot <= slash) return fileName + u".txt"_s;
  if (dot == fileName.size() - 1) return fileName.left(dot) + u".txt"_s;
  return fileName;
}

}  // namespace

QStringList ReadScriptFile(const QString& path, bool* ok) {
  QFile file(path);
  const bool opened = file.open(QIODevice::ReadOnly);
  const QByteArray bytes = opened ? file.readAll() : QByteArray();
  const bool read = opened && file.error() == QFileDevice::NoError;
  if (ok) *ok = read;
  if (!read) return {};
  QString text = DecodeScriptBytes(bytes);
  text.replace(u'\t', u"  "_s);
  return SplitLines(text);
}

bool WriteTextFileAtomic(const QString& path, const QStringList& lines, bool finalLineBreak) {
  QByteArray bytes("\xEF\xBB\xBF");
  bytes += lines.join(u"\r\n"_s).toUtf8();
  if (finalLineBreak && !lines.isEmpty()) bytes += "\r\n";
  return ReplaceFileContents(path, bytes);
}

bool IsIncludeLine(const QString& line, QString* includeName) {
  QString rest;
  if (!CommentRemainder(line, &rest) || !rest.startsWith(u"INCLUDE"_s)) return false;
  if (includeName) *includeName = TrimControl(QStringView(rest).mid(7));
  return true;
}

QString IncludeEndLine(const QString& includeName) {
  return u"#END INCLUDE "_s + includeName;
}

QString ResolveIncludeFile(const QString& includeName) {
  const bool isPath = includeName.contains(u'/') || includeName.contains(u'\\');
  return MatchCaseInsensitively(isPath ? ResolveScriptName(includeName)
                                       : ScriptsFolder() + includeName);
}

void ExpandIncludes() {
  EngineState& e = Engine();
  // Every change of the script takes a new generation: the same generation is the same script.
  static std::uint64_t settledGeneration = 0;
  if (settledGeneration == e.ScriptGeneration) return;
  QStringList& lines = e.ScriptLines;
  QStringList& settled = SettledScript();
  if (IsSameScript(settled)) {
    settledGeneration = e.ScriptGeneration;
    return;
  }
  IncludeExpander expander(lines);
  QStringList expanded = expander.Run();
  if (expander.ReadFiles()) {
    lines = std::move(expanded);
    settled.clear();
  } else {
    settled = KeptScript();
    settledGeneration = e.ScriptGeneration;
  }
}

bool SaveScriptFile(const QString& fileName, const QStringList& scriptLines, int* failedIncludeLine,
                    QString* savedName) {
  QStringList lines = scriptLines;
  int failed = -1;
  bool includesWritten = true;
  for (qsizetype n = 0; n < lines.size(); ++n) {
    const QString& line = lines[n];
    QString name;
    if (line.isEmpty() || (line[0] != u'#' && line[0] != u';') || !IsIncludeLine(line, &name))
      continue;
    qsizetype end = n + 1;
    while (end < lines.size() && !IsEndLineOf(lines[end], name)) ++end;
    if (end == lines.size()) {
      // Marked so that it no longer reads as an include line; the rest stays inline.
      failed = int(n);
      const QString upper = AsciiUpper(line);
      lines[n] = upper.left(1) + u"???"_s + upper.mid(1);
      break;
    }
    const QStringList body = lines.mid(n + 1, end - n - 1);
    const QString path = ResolveIncludeFile(name);
    // An unchanged file is not rewritten, so its date keeps telling when it really changed.
    if (!FileHasText(path, body.join(u"\r\n"_s)))
      includesWritten = WriteTextFileAtomic(path, body, false) && includesWritten;
    lines.remove(n + 1, end - n);
  }
  if (failedIncludeLine) *failedIncludeLine = failed;
  const QString name = WithTxtExtension(fileName);
  if (savedName) *savedName = name;
  return WriteTextFileAtomic(name, lines, true) && includesWritten;
}
