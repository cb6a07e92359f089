#include "net/xpath_builder.h"

using namespace Qt::Literals::StringLiterals;

QString BuildShortXPath(const QString& tag, const QList<AttributeRow>& rows) {
  QString xpath = u"//"_s + tag;
  for (qsizetype i = 1; i < rows.size(); ++i) {
    const AttributeRow& row = rows[i];
    if (!row.include) continue;
    const qsizetype equals = row.attribute.indexOf(u'=');
    QString name = equals < 0 ? row.attribute : row.attribute.left(equals);
    QString value = equals < 0 ? QString() : row.attribute.mid(equals + 1);
    if (value.startsWith(u'"')) {
      value.remove(0, 1);
      if (value.endsWith(u'"')) value.chop(1);
    }
    name = name.toLower() == u"text"_s ? u"text()"_s : u"@"_s + name;
    if (row.contains)
      xpath += u"[contains("_s + name + u",\""_s + value + u"\")]"_s;
    else
      xpath += u"["_s + name + u"=\""_s + value + u"\"]"_s;
  }
  return xpath;
}

QString IntegratedXPath(const QString& initialXPath, const QString& shortXPath) {
  return initialXPath.trimmed() + shortXPath;
}

QString FindElementLine(const QString& xpath) { return u"e_=Brw_ElFind('"_s + xpath + u"')"_s; }

QString FindSiblingLine(const QString& integratedXPath) {
  return u"e_Row=Brw_ElFindSibl('"_s + integratedXPath + u"',e_Row)"_s;
}

QString FindChildLine(const QString& shortXPath, const QString& parentVariable) {
  if (parentVariable.isEmpty()) return {};
  return u"e_=Brw_ElFindChild('"_s + shortXPath + u"',"_s + parentVariable + u")"_s;
}

QString ParentVariableOf(const QList<NamedValue>& variables, int relativeNumber) {
  const QString mark = u"▲"_s + QString::number(relativeNumber) + u"▲"_s;
  for (const NamedValue& v : variables)
    if (v.value.contains(mark)) return v.name;
  return {};
}

QString XPathTestMessage(const XPathTestResult& result) {
  if (result.elementId.isEmpty()) return u"Element isn't found!)"_s;
  if (result.treeIndex < 0)
    return u"id_element = "_s + result.elementId + u" ??? Nativ Chrome XPath=\""_s + result.pageXPath +
           u"\" not found."_s;
  if (result.alreadySelected) return u"XPath - OK!"_s;
  return u"Tree element index = "_s + QString::number(result.treeIndex) + u".  ID_element = "_s + result.elementId;
}
