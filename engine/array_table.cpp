// The array table: lookup, deletion and the name order it is kept in.
#include <QTime>
#include <algorithm>

#include "engine/engine_state.h"
#include "engine/names.h"

int FindArray(QStringView name) {
  const EngineState& e = Engine();
  const bool local = IsLocalName(name);
  if (local && e.FunctionLevel <= 0) return 0;
  for (int i = 0; i < e.ArrayCount(); ++i) {
    const t_arr_specification& a = e.Arrays[std::size_t(i)];
    if (a.name.isEmpty()) break;
    if (SameName(a.name, name) && (!local || a.function_level == e.FunctionLevel)) return i + 1;
  }
  return 0;
}

int FindArrayAtLevel(QStringView name, int level) {
  const EngineState& e = Engine();
  for (int i = 0; i < e.ArrayCount(); ++i) {
    const t_arr_specification& a = e.Arrays[std::size_t(i)];
    if (a.function_level == level && SameName(a.name, name)) return i + 1;
  }
  return 0;
}

void DeleteArray(int index1) {
  EngineState& e = Engine();
  if (index1 < 1 || index1 > e.ArrayCount()) return;
  // An alias shares its caller's elements: dropping the entry's reference leaves them intact.
  e.Arrays.erase(e.Arrays.begin() + (index1 - 1));
  NamesChanged();
}

void ClearArrays() {
  Engine().Arrays.clear();
  NamesChanged();
}

void SortArrays() {
  NamesChanged();
  std::vector<t_arr_specification>& a = Engine().Arrays;
  std::stable_sort(a.begin(), a.end(),
                   [](const t_arr_specification& x, const t_arr_specification& y) {
                     return AsciiUpper(x.name) < AsciiUpper(y.name);
                   });
}

bool IsTemporaryArrayName(QStringView name) {
  return name.size() > 16 && name.left(4).compare(u"tarr", Qt::CaseInsensitive) == 0;
}

QString NewTemporaryArrayName() {
  EngineState& e = Engine();
  return QStringLiteral("tARR") + QString::number(++e.TempArrayCounter) +
         QTime::currentTime().toString(QStringLiteral("hhmmsszzz"));
}
