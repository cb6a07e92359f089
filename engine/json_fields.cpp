#include "engine/json_fields.h"

#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Index of the first character of the value after `"key"` and its colon, or -1.
qsizetype ValueStart(const QString& text, const QString& key, bool* keyFound) {
  const qsizetype k = text.indexOf(u'"' + key + u'"');
  if (keyFound) *keyFound = k >= 0;
  if (k < 0) return -1;
  const qsizetype colon = text.indexOf(u':', k + key.size() + 2);
  if (colon < 0) return -1;
  qsizetype v = colon + 1;
  while (v < text.size() && text[v] == u' ') ++v;
  return v;
}

}  // namespace

QString JsonFieldText(const QString& text, const QString& key) {
  if (ErrorPending()) return {};
  bool keyFound = false;
  const qsizetype v = ValueStart(text, key, &keyFound);
  if (!keyFound) {
    RaiseScriptError(MessageText(msg::kJsonObjectNotFound, {key}));
    return {};
  }
  if (v < 0 || v >= text.size()) return {};
  if (text[v] == u'{') {
    const qsizetype close = text.indexOf(u'}', v);
    return close < 0 ? text.mid(v) : text.mid(v, close - v + 1);
  }
  const qsizetype comma = text.indexOf(u',', v), brace = text.indexOf(u'}', v);
  qsizetype end = comma < 0 ? brace : (brace < 0 ? comma : std::min(comma, brace));
  if (end < 0) return {};
  QString value = TrimControl(QStringView(text).mid(v, end - v));
  if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
    value = value.mid(1, value.size() - 2);
  return value;
}

double JsonFieldNumber(const QString& text, const QString& key) {
  if (ErrorPending()) return 0;
  const QString value = JsonFieldText(text, key);
  if (ErrorPending()) return 0;
  double number = 0;
  if (!ParseNumberText(value, number))
    RaiseScriptError(MessageText(msg::kJsonInvalidFloat, {value, key}));
  return number;
}

QStringList JsonObjectList(const QString& text, const QString& key) {
  QStringList list;
  const qsizetype v = ValueStart(text, key, nullptr);
  if (v < 0 || v >= text.size() || text[v] != u'[') return list;
  qsizetype from = v;
  for (;;) {
    const qsizetype open = text.indexOf(u'{', from);
    if (open < 0) break;
    const qsizetype close = text.indexOf(u'}', open);
    if (close < 0) break;
    list.append(TrimControl(QStringView(text).mid(open, close - open + 1)));
    from = close + 1;
  }
  return list;
}
