#include "engine/variable_view.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "engine/arrays.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString FloatCellText(const QString& text, bool globalGrid) {
  double v = 0;
  if (!ParseValueNumber(text, v)) return text;
  if (v != std::trunc(v) || (globalGrid && std::fabs(v) > 1000000)) return FormatNumberWidth(11, v);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%6.0f", v);
  return QString::fromLatin1(buf);
}

// A cell's text; when there is no memory to make it, the out-of-memory text instead, and the
// row is marked.
template <typename Make>
void FillCell(ViewRow& row, Make make) {
  try {
    row.value = make();
  } catch (const std::bad_alloc&) {
    row.value = OutOfMemoryCellText();
    row.outOfMemory = true;
  }
}

template <typename Take>
void VisitRows(Take take, bool globalGrid, const std::function<void(const ViewRow&)>& visit) {
  const EngineState& e = Engine();
  for (const std::int32_t index : e.VariableOrder) {
    if (index < 0 || std::size_t(index) >= e.Variables.size()) continue;
    const Tvariable& v = e.Variables[std::size_t(index)];
    if (!take(v.function_level)) continue;
    ViewRow row{v.function_level, v.VarName, {}, index + 1 == e.LastAssignedVariable};
    FillCell(row, [&] { return VariableCellText(v, globalGrid); });
    visit(row);
  }
  for (int i = 1; i <= e.ArrayCount(); ++i) {
    const t_arr_specification& a = e.Arrays[std::size_t(i - 1)];
    if (!take(a.function_level)) continue;
    ViewRow row{a.function_level, a.name + u"[]"_s, {},
                !e.ChangedArrayName.isEmpty() && AsciiUpper(a.name) == e.ChangedArrayName};
    FillCell(row, [&] { return ArrayValueText(i); });
    visit(row);
  }
}

template <typename Take>
QList<ViewRow> Rows(Take take, bool globalGrid) {
  QList<ViewRow> rows;
  VisitRows(take, globalGrid, [&](const ViewRow& row) { rows.append(row); });
  return rows;
}

bool IsGlobal(int level) { return level == 0; }

}  // namespace

void A_Sort_VariablesExecute() {
  EngineState& e = Engine();
  const int n = int(e.Variables.size());
  e.VariableOrder.resize(std::size_t(n));
  QList<QString> keys(n);
  for (int i = 0; i < n; ++i) {
    e.VariableOrder[std::size_t(i)] = i;
    keys[i] = AsciiUpper(e.Variables[std::size_t(i)].VarName);
  }
  // The views' own exchange sort: for each position, every later entry with a smaller name
  // is swapped in (the order of equal names follows from it).
  for (int i = 0; i + 1 < n; ++i)
    for (int j = i + 1; j < n; ++j) {
      auto& a = e.VariableOrder[std::size_t(i)];
      auto& b = e.VariableOrder[std::size_t(j)];
      if (keys[a] > keys[b]) std::swap(a, b);
    }
}

QString VariableCellText(const Tvariable& v, bool globalGrid) {
  switch (v.kind) {
    case wkString:
      return u"●"_s + v.Text() + u"●"_s;
    case wkStringDQ:
      return u'"' + v.Text() + u'"';
    case wkFloat:
      return FloatCellText(v.Text(), globalGrid);
    case wkInt:
      return v.Text();
    case wkUnknownIdentifier:
      if (globalGrid) return u"! "_s + MessageText(msg::kUnrecognisedIdentifier, {v.VarName});
      [[fallthrough]];
    default:
      return u'<' + v.Text() + u'>';
  }
}

QString OutOfMemoryCellText() { return u"! "_s + MessageText(msg::kNotEnoughMemory); }

QList<ViewRow> GlobalViewRows() {
  A_Sort_VariablesExecute();
  return Rows(IsGlobal, true);
}

void VisitGlobalViewRows(const std::function<void(const ViewRow&)>& visit) {
  A_Sort_VariablesExecute();
  VisitRows(IsGlobal, true, visit);
}

QList<ViewRow> LocalViewRows(bool allLevels) {
  A_Sort_VariablesExecute();
  const int current = Engine().FunctionLevel;
  if (current == 0) return {};
  return Rows([&](int level) { return level == current || (allLevels && level >= 1); }, false);
}
