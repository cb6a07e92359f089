#include <QtGlobal>

#include "automation/os_families.h"
#include "automation/x11_display.h"
#include "engine/constants.h"
#include "engine/local_texts.h"
#include "engine/script_error.h"

qint64 IntegerArgument(const GeneralCall& call, int n) {
  // Handles and flags may exceed 32 bits; the engine's conversion reports bad text.
  bool ok = false;
  const qint64 value = call.text(n).trimmed().toLongLong(&ok);
  return ok ? value : TextToInteger(call.text(n).trimmed());
}

qint64 NonNegativeArgument(const GeneralCall& call, int n) { return RequireNonNegative(call, n, IntegerArgument(call, n)); }

qint64 RequireNonNegative(const GeneralCall& call, int n, qint64 value) {
  if (value < 0)
    throw ScriptException(Bilingual(u"Function %1: argument %2 must not be negative (%3).",
                                    u"Функция %1: аргумент %2 не может быть отрицательным (%3).")
                              .arg(call.name())
                              .arg(n + 1)
                              .arg(value));
  return value;
}

int KeyCodeArgument(const GeneralCall& call, int n) {
  const qint64 value = IntegerArgument(call, n);
  if (value < 0 || value > 255)
    throw ScriptException(Bilingual(u"Function %1: key code %2 is out of range (0 - 255).",
                                    u"Функция %1: код клавиши %2 вне допустимого диапазона (0 - 255).")
                              .arg(call.name())
                              .arg(value));
  return int(value);
}

bool HaveDisplay() { return RequireXDisplay() != nullptr; }
