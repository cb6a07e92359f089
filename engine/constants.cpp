#include "engine/constants.h"

#include <QHash>
#include <climits>

#include "engine/engine_state.h"
#include "engine/names.h"
#include "engine/number_text.h"
#include "engine/script_error.h"

using namespace Qt::Literals::StringLiterals;

namespace {
QStringList MakeInitialTable() {
  return {u"PI = 3.14159265358979323846"_s, u"π = 3.14159265358979323846"_s};
}
}  // namespace

QStringList& ConstantsTable() {
  static QStringList table = MakeInitialTable();
  return table;
}

void ResetConstantsTable() {
  ConstantsTable() = MakeInitialTable();
}

void RegisterConstant(const QString& name, const QString& valueText) {
  ConstantsTable().append(name + u" = "_s + valueText);
  NamesChanged();
}

namespace {

// The first entry of each name (lower case), rebuilt whenever the table has grown or been
// replaced; names are looked up at every word read, and the table holds hundreds of entries.
const QHash<QString, int>& EntryIndex(const QStringList& table) {
  static QHash<QString, int> index;
  static const QString* indexedData = nullptr;
  static qsizetype indexedSize = -1;
  if (table.constData() != indexedData || table.size() != indexedSize) {
    // The first entry of a name wins: insert from the end so earlier entries overwrite.
    index.clear();
    for (int i = int(table.size()) - 1; i >= 0; --i) {
      const qsizetype blank = table[i].indexOf(u' ');
      if (blank >= 0) index.insert(AsciiLower(QStringView(table[i]).left(blank)), i);
    }
    indexedData = table.constData();
    indexedSize = table.size();
  }
  return index;
}

}  // namespace

int LookupConstant(QStringView name, QString* foundName, QString* valueText) {
  if (foundName) foundName->clear();
  if (valueText) valueText->clear();
  const QStringList& table = ConstantsTable();
  int found = -1;
  if (name.contains(u' ')) {
    // A name with a blank would match on more than an entry's name: compare the texts.
    const QString prefix = AsciiLower(name) + u' ';
    for (int i = 0; i < table.size() && found < 0; ++i)
      if (table[i].size() >= prefix.size() && AsciiLower(QStringView(table[i]).left(prefix.size())) == prefix)
        found = i;
  } else {
    found = EntryIndex(table).value(AsciiLower(name), -1);
  }
  if (found < 0) return -1;
  const QString& entry = table[found];
  const qsizetype eq = entry.indexOf(u'=');
  if (foundName) *foundName = entry.left(eq < 0 ? entry.size() : eq).trimmed();
  if (valueText) *valueText = eq < 0 ? QString() : entry.mid(eq + 1).trimmed();
  return found;
}

int TextToInteger(QStringView text) {
  const QString t = AsciiUpper(TrimControl(text));
  if (t.isEmpty()) return 0;
  if (!t.startsWith(u'$')) {
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    // toInt accepts blanks around the digits; the trimmed text has none at its ends, and a
    // blank inside (e.g. "- 5") is refused here as it would be by a strict reader.
    if (!ok || t.contains(u' '))
      throw ScriptException(u"'%1' is not a valid integer value"_s.arg(t));
    return value;
  }
  const auto conversionError = [&] {
    return ScriptException(u"String to integer conversion error ("_s + text.toString() + u")."_s);
  };
  if (t.size() == 1) throw conversionError();
  qint64 value = 0;
  for (qsizetype i = 1; i < t.size(); ++i) {
    const char16_t c = t[i].unicode();
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      throw conversionError();
    value = value * 16 + digit;
    if (value > INT_MAX) throw ScriptException(u"Integer overflow"_s);
  }
  return int(value);
}

double ConstantValue(QStringView valueText) {
  if (valueText.contains(u'.')) {
    double v = 0;
    if (!ParseNumberText(valueText, v))
      throw ScriptException(
          u"'%1' is not a valid floating point value"_s.arg(valueText.toString()));
    return v;
  }
  return TextToInteger(valueText);
}
