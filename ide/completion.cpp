#include "ide/completion.h"

#include <algorithm>

#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/names.h"
#include "unit_support/descriptions.h"

using namespace Qt::Literals::StringLiterals;

QStringList BuildCompletionList(const QStringList& variableNames, const QStringList& constantsTable) {
  QStringList items;
  for (TableId id : {TableId::General, TableId::Graph, TableId::Dialog, TableId::JS, TableId::DB, TableId::OS}) {
    for (const T_FunctionDescription& d : Table(id).entries) {
      if (!d.Formula.isEmpty()) items.append(d.Formula);
      if (d.Sinonim.isEmpty()) continue;
      const qsizetype bracket = d.Formula.indexOf(u'(');
      items.append(d.Sinonim + u'(' + (bracket < 0 ? QString() : d.Formula.mid(bracket + 1)));
    }
  }
  for (TableId id : {TableId::FTP, TableId::Arduino})
    for (const T_FunctionDescription& d : Table(id).entries)
      if (!d.Formula.isEmpty()) items.append(d.Formula);
  for (const QString& name : variableNames)
    if (!name.isEmpty()) items.append(name);
  for (const QString& entry : constantsTable) {
    const qsizetype eq = entry.indexOf(u'=');
    if (eq <= 0) continue;
    const QString name = entry.left(eq).trimmed();
    if (!name.isEmpty()) items.append(name);
  }
  items << u"repeat"_s << u"break"_s << u"breakif"_s << u"continue"_s << u"continueif"_s << u"stop"_s
        << u"array"_s << u"function"_s << u"Int"_s << u"float"_s << u"string"_s << u"else"_s;
  std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  return items;
}

QStringList CurrentCompletionList() {
  QStringList variables;
  for (const Tvariable& v : Engine().Variables) variables.append(v.VarName);
  return BuildCompletionList(variables, ConstantsTable());
}

QStringList CompletionCandidates(const QStringList& items, QStringView typed) {
  QStringList shown;
  for (const QString& item : items)
    if (item.startsWith(typed, Qt::CaseInsensitive)) shown.append(item);
  return shown;
}

QString CompletionPrefix(QStringView textBeforeCaret) {
  qsizetype start = textBeforeCaret.size();
  while (start > 0 && IsIdentifierChar(textBeforeCaret[start - 1])) --start;
  return textBeforeCaret.mid(start).toString();
}

QString CompletionInsertText(const QString& item) {
  const qsizetype bracket = item.indexOf(u'(');
  return bracket > 0 ? item.left(bracket) : item;
}
