// The page's element tree as the inspector shows it: the nodes in tree order, each knowing its
// parent, depth and absolute XPath.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct PageNode {
  int parent = -1;  // index of the parent node, -1 for the root
  int level = 0;    // depth, 0 for the root
  QString tag;
  QString outerHTML;
  QString nodeType;
  QString text;
  QString xpath;    // absolute, as the page script computed it
  QString MyXpath;
};

inline constexpr int kMaxPageNodes = 100001;

using PageTree = QList<PageNode>;

// The nodes of the JSON array the page script getDocumentTree() returns (as an array or as its
// JSON text), at most kMaxPageNodes; anything that is not an object is skipped.
PageTree PageTreeFromJson(const class QJsonValue& nodes);

// Index of the first node whose xpath equals `xpath` with every backslash removed, or -1.
int NodeIndexOfXPath(const PageTree& tree, QString xpath);

// The attributes of the node's start tag as "name=value" texts in their order (a value keeps
// its double quotes when it had them; single-quoted values get double quotes), followed by
// "text=" + the node's text when it has some.
QStringList NodeAttributeTexts(const PageNode& node);
