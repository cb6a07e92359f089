#include "net/page_tree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

PageTree PageTreeFromJson(const QJsonValue& nodes) {
  PageTree tree;
  const QJsonArray items =
      nodes.isString() ? QJsonDocument::fromJson(nodes.toString().toUtf8()).array() : nodes.toArray();
  for (const QJsonValue& item : items) {
    if (tree.size() >= kMaxPageNodes) break;
    if (!item.isObject()) continue;
    const QJsonObject o = item.toObject();
    PageNode node;
    node.parent = o.value(u"parent"_s).toInt(-1);
    node.level = o.value(u"level"_s).toInt();
    node.tag = o.value(u"tag"_s).toString();
    node.outerHTML = o.value(u"outerHTML"_s).toString();
    node.nodeType = o.value(u"nodeType"_s).toVariant().toString();
    node.text = o.value(u"text"_s).toString();
    node.xpath = o.value(u"xpath"_s).toString();
    tree.append(node);
  }
  return tree;
}

int NodeIndexOfXPath(const PageTree& tree, QString xpath) {
  xpath.remove(u'\\');
  for (int i = 0; i < tree.size(); ++i)
    if (tree[i].xpath == xpath) return i;
  return -1;
}

QStringList NodeAttributeTexts(const PageNode& node) {
  static const QRegularExpression attribute(uR"re(([^\s=/>"']+)(?:\s*=\s*("[^"]*"?|'[^']*'?|[^\s>"']+))?)re"_s);
  // The start tag runs to the first ">" outside a quoted value.
  qsizetype end = 0;
  QChar quote;
  for (; end < node.outerHTML.size(); ++end) {
    const QChar c = node.outerHTML[end];
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'>') {
      break;
    }
  }
  const qsizetype afterName = node.outerHTML.indexOf(QRegularExpression(u"[\\s>]"_s));
  QStringList texts;
  if (afterName >= 0 && afterName < end) {
    auto matches = attribute.globalMatch(node.outerHTML.left(end), afterName);
    while (matches.hasNext()) {
      const QRegularExpressionMatch m = matches.next();
      QString value = m.captured(2);
      if (value.startsWith(u'\'')) value = u'"' + value.mid(1, value.size() - 2) + u'"';
      texts.append(m.captured(1) + u'=' + value);
    }
  }
  if (!node.text.isEmpty()) texts.append(u"text="_s + node.text);
  return texts;
}
