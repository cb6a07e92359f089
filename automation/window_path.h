// Window paths: "Class/\"Title\"Class/..." split into parts, and the search that walks them
// from a parent window down, one level per part.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

struct WindowPathPart {
  QString className;      // empty: any class
  QString title;          // empty: any title (only for quoted parts)
  bool quoted = false;    // "title"class
  bool contains = false;  // the title began with "*": the window's text need only contain it
};

// The non-empty parts of a path, left to right.
std::vector<WindowPathPart> ParseWindowPath(const QString& path);

// What the search needs to know about a tree of windows. Handle 0 is the desktop: its children
// are the top-level windows.
struct WindowTree {
  std::function<std::vector<quint64>(quint64 parent)> children;
  std::function<bool(quint64 window, const QString& className)> hasClass;
  std::function<QString(quint64 window)> text;
};

// The window the path leads to from `parent` (0 when a part finds nothing). The first part's
// search starts after the window `after` when it is one of the parent's children.
quint64 FindWindowByPath(const WindowTree& tree, const QString& path, quint64 parent, quint64 after);
