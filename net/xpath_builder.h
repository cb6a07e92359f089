// The element inspector's XPath rules: the XPath built from the attribute grid, the script
// lines offered for insertion, and the outcome of testing an XPath against the page.
#pragma once

#include <QList>
#include <QString>

// One row of the attribute grid: the include mark, "name=value", the contains mark.
struct AttributeRow {
  bool include = false;
  QString attribute;
  bool contains = false;
};

// "//" + tag, then one predicate per included row from the second row on: the name is
// "text()" for "text" (any case), else "@" + name; the value loses its enclosing double
// quotes; "[contains(name,\"value\")]" with the contains mark, else "[name=\"value\"]".
QString BuildShortXPath(const QString& tag, const QList<AttributeRow>& rows);
// The trimmed initial XPath followed by the short one.
QString IntegratedXPath(const QString& initialXPath, const QString& shortXPath);

// The offered script lines.
QString FindElementLine(const QString& xpath);
QString FindSiblingLine(const QString& integratedXPath);
// Empty when no variable's value contains "▲" + relativeNumber + "▲".
QString FindChildLine(const QString& shortXPath, const QString& parentVariable);

struct NamedValue {
  QString name;
  QString value;
};
// Name of the first variable whose value contains "▲" + n + "▲", or empty.
QString ParentVariableOf(const QList<NamedValue>& variables, int relativeNumber);

// What testing an XPath found: the element id (empty: nothing found), the page's own XPath of
// it, the tree index of that XPath (-1: not in the tree) and whether it is selected already.
struct XPathTestResult {
  QString elementId;
  QString pageXPath;
  int treeIndex = -1;
  bool alreadySelected = false;
};
// The status-line text of the outcome.
QString XPathTestMessage(const XPathTestResult& result);
