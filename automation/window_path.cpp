#include "automation/window_path.h"

#include <algorithm>

namespace {

WindowPathPart ParsePart(const QString& part) {
  WindowPathPart parsed;
  const qsizetype close = part.startsWith(u'"') ? part.indexOf(u'"', 1) : -1;
  if (close < 0) {
    parsed.className = part;
    return parsed;
  }
  parsed.quoted = true;
  parsed.title = part.mid(1, close - 1).trimmed();
  parsed.className = part.mid(close + 1).trimmed();
  if (parsed.title.startsWith(u'*')) {
    parsed.contains = true;
    parsed.title.remove(0, 1);
  }
  return parsed;
}

bool Matches(const WindowTree& tree, quint64 window, const WindowPathPart& part) {
  if (!part.className.isEmpty() && !tree.hasClass(window, part.className)) return false;
  if (!part.quoted || (part.title.isEmpty() && !part.contains)) return true;
  const QString text = tree.text(window);
  // A title to contain is matched as written; a whole title without regard to case, as
  // window titles are on the desktop this language came from.
  return part.contains ? text.contains(part.title) : text.compare(part.title, Qt::CaseInsensitive) == 0;
}

}  // namespace

std::vector<WindowPathPart> ParseWindowPath(const QString& path) {
  std::vector<WindowPathPart> parts;
  // Slashes inside a quoted title belong to the title.
  QString current;
  bool inQuotes = false;
  auto finish = [&] {
    QString part = current.trimmed();
    current.clear();
    if (part.startsWith(u'/')) part.remove(0, 1);
    if (!part.isEmpty()) parts.push_back(ParsePart(part));
  };
  for (QChar c : path) {
    if (c == u'"') inQuotes = !inQuotes;
    if (c == u'/' && !inQuotes) {
      finish();
      continue;
    }
    current += c;
  }
  finish();
  return parts;
}

quint64 FindWindowByPath(const WindowTree& tree, const QString& path, quint64 parent, quint64 after) {
  const std::vector<WindowPathPart> parts = ParseWindowPath(path);
  if (parts.empty()) return 0;
  quint64 found = 0;
  for (const WindowPathPart& part : parts) {
    const std::vector<quint64> children = tree.children(parent);
    auto from = children.begin();
    if (after) {
      const auto a = std::find(children.begin(), children.end(), after);
      if (a != children.end()) from = a + 1;
      after = 0;
    }
    const auto hit = std::find_if(from, children.end(), [&](quint64 w) { return Matches(tree, w, part); });
    if (hit == children.end()) return 0;
    found = parent = *hit;
  }
  return found;
}
