#include "engine/value_window_text.h"

#include <cmath>
#include <new>

#include "engine/arrays.h"
#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/number_text.h"
#include "engine/variable_view.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char16_t kLineBreak = u'\r';

bool IsArrayName(const QString& name) { return name.endsWith(u"[]"_s); }

// The value with at most 15 significant digits and at most 15 decimals, trailing zeros and a
// trailing point removed.
QString PlainDecimalText(double v) {
  const QString e = QString::number(v, 'e', 14);  // d.dddddddddddddde[+-]xx
  const qsizetype ePos = e.indexOf(u'e');
  const int exponent = e.mid(ePos + 1).toInt();
  QString out;
  if (exponent >= 14) {  // every significant digit is left of the point
    out = e.left(ePos).remove(u'.') + QString(exponent - 14, u'0');
  } else {
    out = QString::number(v, 'f', std::min(15, 14 - exponent));
    while (out.endsWith(u'0')) out.chop(1);
    if (out.endsWith(u'.')) out.chop(1);
  }
  if (out == u"-0"_s) out = u"0"_s;
  return out;
}

// C-style "%e" with 15 significant digits: 1.00000000000000E-001.
QString ExponentText(double v) {
  const QString e = QString::number(v, 'e', 14);
  const qsizetype ePos = e.indexOf(u'e');
  const int exponent = e.mid(ePos + 1).toInt();
  return e.left(ePos) + u'E' + (exponent < 0 ? u'-' : u'+') +
         QString::number(std::abs(exponent)).rightJustified(3, u'0');
}

bool IsDecimalDigits(const QString& text) {
  if (text.isEmpty()) return false;
  for (const QChar c : text)
    if (c < u'0' || c > u'9') return false;
  return true;
}

QString NumberLines(const QString& text) {
  if (text.contains(u'.')) {
    double v = 0;
    if (!ParseNumberText(text, v) || !std::isfinite(v)) return text;
    return PlainDecimalText(v) + u"  "_s + ExponentText(v);
  }
  bool ok = false;
  const qulonglong whole = IsDecimalDigits(text) ? text.toULongLong(&ok, 10) : 0;
  if (!ok) return text;
  const QString hex = QString::number(whole, 16).toUpper();
  return text + kLineBreak + u"hex: "_s + hex + kLineBreak + u"bin: "_s + HexToBinGroups(hex);
}

QString MakeVariableWindowText(const QString& name) {
  if (IsArrayName(name)) {
    const int index = FindArray(QStringView(name).chopped(2));
    return index > 0 ? ArrayListing(index) : QString();
  }
  const int index = FindVariable(name);
  if (index < 0) return {};
  const Tvariable& v = Engine().Variables[std::size_t(index)];
  QString out = MessageText(msg::kVariableCaption) + kLineBreak + v.VarName + u" = "_s;
  if (!IsNumberKind(v.kind)) return out + kLineBreak + u'\'' + v.Text() + u'\'';
  return out + NumberLines(v.Text());
}

}  // namespace

QString VariableWindowText(const QString& name) {
  try {
    return MakeVariableWindowText(name);
  } catch (const std::bad_alloc&) {
    return OutOfMemoryCellText();
  }
}

QString ShowUnprintableCharacters(const QString& windowText) {
  const qsizetype first = windowText.indexOf(u'\'');
  const qsizetype last = windowText.lastIndexOf(u'\'');
  if (first < 0 || last <= first) return {};
  QString out;
  bool afterPrintable = false, afterControl = false;
  for (qsizetype i = first + 1; i < last; ++i) {
    const QChar c = windowText[i];
    if (c.unicode() < 32) {
      if (afterPrintable) out += u'\'';
      out += u"#$"_s + QString::number(c.unicode(), 16).toUpper();
      afterPrintable = false;
      afterControl = true;
    } else {
      if (afterControl) out += u'\'';
      out += c;
      afterPrintable = true;
      afterControl = false;
    }
  }
  return out;
}

bool OffersUnprintableItem(const QString& name) {
  if (IsArrayName(name)) return false;
  const int index = FindVariable(name);
  return index >= 0 && Engine().Variables[std::size_t(index)].kind == wkString;
}
