// General functions: string.
#include <locale.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "engine/constants.h"
#include "engine/evaluator.h"
#include "engine/names.h"
#include "engine/number_text.h"
#include "engine/script_error.h"
#include "engine/local_texts.h"
#include "functions/general_unit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Longest text a string function builds; beyond it the call fails instead of exhausting memory.
constexpr qsizetype kMaxResultLength = qsizetype(1) << 27;
// Largest width or precision a Format specification may ask for.
constexpr qint64 kMaxFormatWidth = 1'000'000;

constexpr int kConversionError = 130;  // Error converting string "%s" to number.
constexpr int kValueOutOfRange = 118;  // Function "%s". Parameter value "%s" is out of range.
constexpr int kInvalidDataType = 129;  // Invalid data type of the variable "%s".

[[noreturn]] void ThrowTooLong(const QString& function) {
  throw ScriptException(Bilingual(u"Function \"%1\": the resulting text is too long.",
                                  u"Функция \"%1\": получается слишком длинный текст.")
                            .arg(function));
}

QString SystemNumberText(double value) {
  QString text = NumberText(value);
  const QChar separator = SystemDecimalSeparator();
  if (separator != u'.') text.replace(u'.', separator);
  return text;
}

// A count or position given as a 64-bit integer, clamped into the range of text sizes.
qsizetype Clamped(qint64 v) {
  return qsizetype(std::clamp<qint64>(v, -kMaxResultLength * 8, kMaxResultLength * 8));
}

// ---- case and blanks ----

void UpperCase(GeneralCall& c) {
  c.setText(c.text(0).toUpper());
}
void LowerCase(GeneralCall& c) {
  c.setText(c.text(0).toLower());
}
void Trim(GeneralCall& c) {
  c.setText(TrimControl(c.text(0)));
}
void LenStr(GeneralCall& c) {
  c.setNumber(double(c.text(0).size()));
}

// ---- searching and cutting ----

void Pos(GeneralCall& c) {
  const QString& sub = c.text(0);
  const QString& str = c.text(1);
  const qsizetype start = std::max<qsizetype>(1, Clamped(c.integerOr(2, 1)));
  const Qt::CaseSensitivity cs = c.integerOr(3, 0) != 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
  if (sub.isEmpty() || start > str.size()) {
    c.setNumber(0);
    return;
  }
  c.setNumber(double(str.indexOf(sub, start - 1, cs) + 1));
}

void SubStr(GeneralCall& c) {
  const QString& str = c.text(0);
  const TWordStatus& from = c.arg(1);
  qsizetype start = 1;  // 1-based
  if (IsNumberKind(from.kind)) {
    start = std::max<qsizetype>(1, Clamped(c.integer(1)));
  } else if (!from.str.isEmpty()) {
    const qsizetype at = str.indexOf(from.str);
    if (at < 0) {
      c.setText({});
      return;
    }
    start = at + 1 + from.str.size();
  }
  qsizetype count = str.size();  // to the end
  if (c.has(2)) {
    const TWordStatus& to = c.arg(2);
    if (IsNumberKind(to.kind)) {
      count = Clamped(c.integer(2));
    } else if (!to.str.isEmpty() && start <= str.size()) {
      const qsizetype at = str.indexOf(to.str, start - 1);
      if (at >= 0) count = at + 1 - start;
    }
  }
  if (start > str.size() || count <= 0) {
    c.setText({});
    return;
  }
  c.setText(str.mid(start - 1, count));
}

void ReplaceStr(GeneralCall& c) {
  const QString& str = c.text(0);
  const QString& oldText = c.text(1);
  const QString& newText = c.text(2);
  const bool all = !c.has(3) || c.number(3) > 0;
  const Qt::CaseSensitivity cs =
      (!c.has(4) || c.number(4) == 0) ? Qt::CaseInsensitive : Qt::CaseSensitive;
  if (oldText.isEmpty()) {
    c.setText(str);
    return;
  }
  QString out;
  qsizetype from = 0;
  for (qsizetype at; (at = str.indexOf(oldText, from, cs)) >= 0;) {
    out += QStringView(str).mid(from, at - from);
    out += newText;
    from = at + oldText.size();
    if (out.size() > kMaxResultLength) ThrowTooLong(c.name());
    if (!all) break;
  }
  out += QStringView(str).mid(from);
  c.setText(out);
}

// ---- conversions ----

// Decimal number with "." as separator: leading blanks, sign, digits with at most one point
// and at least one digit, optional exponent with digits. Nothing else, not even a trailing blank.
bool IsDecimalNumberText(QStringView t) {
  qsizetype i = 0;
  const qsizetype n = t.size();
  while (i < n && t[i] == u' ') ++i;
  if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
  int digits = 0;
  bool point = false;
  for (; i < n; ++i) {
    if (IsAsciiDigit(t[i]))
      ++digits;
    else if (t[i] == u'.' && !point)
      point = true;
    else
      break;
  }
  if (digits == 0) return false;
  if (i < n && (t[i] == u'e' || t[i] == u'E')) {
    ++i;
    if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
    const qsizetype firstDigit = i;
    while (i < n && IsAsciiDigit(t[i])) ++i;
    if (i == firstDigit) return false;
  }
  return i == n;
}

// Reads a text IsDecimalNumberText accepted; false when it lies beyond the range of doubles.
bool ReadDecimal(const QString& t, double& value) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  const QByteArray latin = t.toLatin1();
  value = strtod_l(latin.constData(), nullptr, cLocale);
  return std::isfinite(value);
}

void Str_ToFloat(GeneralCall& c) {
  QString t = c.text(0);
  if (const qsizetype comma = t.indexOf(u','); comma >= 0) t[comma] = u'.';
  double value = 0;
  if (IsDecimalNumberText(t) && ReadDecimal(t, value)) {
    c.setNumber(value);
    c.result().str = t;
    return;
  }
  // The flag is compared as written: only a literal 0 asks for the error.
  if ((c.has(1) ? c.text(1) : u"0"_s) == u"0"_s)
    c.fail(kConversionError, {c.text(0)});
  else
    c.setText(u"error"_s);
}

void Hex_ToInt(GeneralCall& c) {
  const QString text = u'$' + c.text(0);
  try {
    c.setNumber(TextToInteger(text));
  } catch (const ScriptException&) {
    c.fail(kConversionError, {text});
  }
}

void Float_ToStr(GeneralCall& c) {
  QString t = SystemNumberText(c.number(0));
  const QString separator = c.has(1) ? c.text(1) : QString(SystemDecimalSeparator());
  if (separator.size() != 1) {
    c.fail(kValueOutOfRange, {c.name(), separator});
    return;
  }
  if (const qsizetype at = t.indexOf(u','); at >= 0) t[at] = separator[0];
  if (const qsizetype at = t.indexOf(u'.'); at >= 0) t[at] = separator[0];
  c.setText(t);
}

void Ord(GeneralCall& c) {
  const TWordStatus& a = c.arg(0);
  if (IsStringKind(a.kind))
    c.setNumber(a.str.isEmpty() ? 0 : a.str[0].unicode());
  else if (a.kind == wkBool)
    c.setNumber(a.str.toLower() == u"true"_s ? 1 : 0);
  else
    c.fail(kInvalidDataType, {a.str});
}

void Char(GeneralCall& c) {
  const double code = RoundHalfEven(c.number(0));
  if (!(code >= 0 && code < 65535)) {
    c.fail(kValueOutOfRange, {u"str_char"_s, SystemNumberText(c.number(0))});
    return;
  }
  c.setText(QString(QChar(char16_t(code))));
}

// ---- Format ----

// One argument of Format: missing ones read as empty text and 0.
struct FormatArg {
  const TWordStatus* word;  // null when missing
  bool isNumber() const { return !word || IsNumberKind(word->kind); }
  double number() const { return word ? word->float_val : 0.0; }
  QString text() const { return word ? word->str : QString(); }
};

[[noreturn]] void ThrowBadFormat(QStringView spec) {
  throw ScriptException(Bilingual(u"Format \"%1\" invalid or incompatible with argument.",
                                  u"Формат \"%1\" недопустим или несовместим с аргументом.")
                            .arg(spec.toString()));
}

struct Conversion {
  bool leftAlign = false;
  qint64 width = -1;
  qint64 precision = -1;
};

QString Padded(const QString& body, const Conversion& conv) {
  const qsizetype pad = qsizetype(conv.width) - body.size();
  if (pad <= 0) return body;
  return conv.leftAlign ? body + QString(pad, u' ') : QString(pad, u' ') + body;
}

// An integer of at least `precision` digits, the sign in front of the zeros.
QString ZeroExtended(QString digits, const Conversion& conv) {
  const bool negative = digits.startsWith(u'-');
  if (negative) digits.remove(0, 1);
  if (conv.precision > digits.size()) digits.prepend(QString(conv.precision - digits.size(), u'0'));
  return negative ? u'-' + digits : digits;
}

qint64 IntegerFor(QStringView spec, const FormatArg& arg) {
  const double v = RoundHalfEven(arg.number());
  if (!arg.isNumber() || !(std::fabs(v) < 9.2e18)) ThrowBadFormat(spec);
  return qint64(v);
}

QString Converted(char16_t type, const Conversion& conv, QStringView spec, const FormatArg& arg) {
  switch (type) {
    case u'd':
      return ZeroExtended(QString::number(IntegerFor(spec, arg)), conv);
    case u'x':
      return ZeroExtended(QString::number(quint64(IntegerFor(spec, arg)), 16).toUpper(), conv);
    case u'f': {
      if (!arg.isNumber()) ThrowBadFormat(spec);
      const double v = arg.number();
      if (std::isnan(v)) return u"NAN"_s;
      if (std::isinf(v)) return v < 0 ? u"-INF"_s : u"INF"_s;
      QString text = QString::number(v, 'f', int(conv.precision < 0 ? 2 : conv.precision));
      if (text.startsWith(u'-') && text.count(u'0') + text.count(u'.') == text.size() - 1)
        text.remove(0, 1);  // no "-0.00"
      return text;
    }
    case u's': {
      const QString text = arg.text();
      return conv.precision >= 0 ? text.left(qsizetype(conv.precision)) : text;
    }
  }
  ThrowBadFormat(spec);
}

// Reads digits at `i` into `value`; false when there are none.
bool ReadCount(QStringView spec, qsizetype& i, qint64& value, QStringView whole) {
  const qsizetype first = i;
  value = 0;
  while (i < spec.size() && IsAsciiDigit(spec[i])) {
    value = value * 10 + (spec[i].unicode() - u'0');
    if (value > kMaxFormatWidth) ThrowBadFormat(whole);
    ++i;
  }
  return i > first;
}

// Formats one specification ("%" up to its conversion letter, "%%" standing for "%") with one
// argument. Sets `used` when a conversion took the argument.
QString FormatSpecification(QStringView spec, const FormatArg& arg, bool& used) {
  QString out;
  used = false;
  qsizetype i = 0;
  while (i < spec.size()) {
    if (spec[i] != u'%') {
      out += spec[i++];
      continue;
    }
    if (i + 1 < spec.size() && spec[i + 1] == u'%') {
      out += u'%';
      i += 2;
      continue;
    }
    ++i;
    Conversion conv;
    qint64 number = 0;
    // An argument index: this call has only the one argument, index 0.
    if (qsizetype j = i; ReadCount(spec, j, number, spec) && j < spec.size() && spec[j] == u':') {
      if (number != 0) ThrowBadFormat(spec);
      i = j + 1;
    }
    if (i < spec.size() && spec[i] == u'-') {
      conv.leftAlign = true;
      ++i;
    }
    if (ReadCount(spec, i, number, spec)) conv.width = number;
    if (i < spec.size() && spec[i] == u'.') {
      ++i;
      conv.precision = ReadCount(spec, i, number, spec) ? number : 0;
    }
    if (i >= spec.size() || used) ThrowBadFormat(spec);
    out += Padded(Converted(spec[i].toLower().unicode(), conv, spec, arg), conv);
    used = true;
    ++i;
  }
  return out;
}

bool IsConversionLetter(QChar ch) {
  const char16_t u = ch.toLower().unicode();
  return u == u'd' || u == u'f' || u == u's' || u == u'x';
}

void Format(GeneralCall& c) {
  const QString& format = c.text(0);
  QString out;
  qsizetype start = 0;
  int nextArg = 1;
  for (;;) {
    const qsizetype p = format.indexOf(u'%', start);
    if (p < 0) {
      out += QStringView(format).mid(start);
      break;
    }
    if (p == format.size() - 1) {  // a lone "%" at the very end empties the whole result
      out.clear();
      break;
    }
    qsizetype e = p + 1;
    while (e < format.size() - 1 && !IsConversionLetter(format[e])) ++e;
    out += QStringView(format).mid(start, p - start);
    // A piece that never reaches a conversion letter is dropped.
    if (IsConversionLetter(format[e])) {
      const FormatArg arg{c.has(nextArg) ? &c.arg(nextArg) : nullptr};
      bool used = false;
      out += FormatSpecification(QStringView(format).mid(p, e - p + 1), arg, used);
      if (used) ++nextArg;
    }
    if (out.size() > kMaxResultLength) ThrowTooLong(c.name());
    start = e + 1;
  }
  c.setText(out);
}

// ---- Str_GetNames ----

char32_t CodePointBefore(QStringView text, qsizetype at) {
  const QChar low = text[at - 1];
  if (low.isLowSurrogate() && at >= 2 && text[at - 2].isHighSurrogate())
    return QChar::surrogateToUcs4(text[at - 2], low);
  return low.unicode();
}

char32_t CodePointAt(QStringView text, qsizetype at) {
  const QChar high = text[at];
  if (high.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
    return QChar::surrogateToUcs4(high, text[at + 1]);
  return high.unicode();
}

bool IsWordCharacter(char32_t u) {
  return QChar::isLetter(u) || QChar::isDigit(u);
}

bool IsWholeWord(QStringView text, qsizetype at, qsizetype length) {
  if (at > 0 && IsWordCharacter(CodePointBefore(text, at))) return false;
  const qsizetype end = at + length;
  return end >= text.size() || !IsWordCharacter(CodePointAt(text, end));
}

void Str_GetNames(GeneralCall& c) {
  const QString separator = c.has(2) ? c.text(2) : u","_s;
  const QString options = c.has(3) ? c.text(3).toLower() : u"w"_s;
  const bool ignoreCase = options.contains(u'i');
  const bool wholeWords = options.contains(u'w');
  const QString text = ignoreCase ? c.text(0).toLower() : c.text(0);
  QStringList found;
  qsizetype length = 0;
  for (const QString& word : c.text(1).split(u"\r\n"_s, Qt::SkipEmptyParts)) {
    const QString sought = ignoreCase ? word.toLower() : word;
    for (qsizetype at = text.indexOf(sought); at >= 0; at = text.indexOf(sought, at + 1)) {
      if (wholeWords && !IsWholeWord(text, at, sought.size())) continue;
      found << word;
      length += word.size() + separator.size();
      if (length > kMaxResultLength) ThrowTooLong(c.name());
    }
  }
  c.setText(found.join(separator));
}

constexpr std::array kStringFunctions{
    UnitFunctionEntry{u"UpperCase", UpperCase},
    UnitFunctionEntry{u"LowerCase", LowerCase},
    UnitFunctionEntry{u"Trim", Trim},
    UnitFunctionEntry{u"Pos", Pos},
    UnitFunctionEntry{u"SubStr", SubStr},
    UnitFunctionEntry{u"ReplaceStr", ReplaceStr},
    UnitFunctionEntry{u"LenStr", LenStr},
    UnitFunctionEntry{u"Str_ToFloat", Str_ToFloat},
    UnitFunctionEntry{u"Hex_ToInt", Hex_ToInt},
    UnitFunctionEntry{u"Format", Format},
    UnitFunctionEntry{u"Float_ToStr", Float_ToStr},
    UnitFunctionEntry{u"Ord", Ord},
    UnitFunctionEntry{u"Char", Char},
    UnitFunctionEntry{u"Str_GetNames", Str_GetNames},
};

}  // namespace

std::span<const UnitFunctionEntry> StringFunctions() {
  return kStringFunctions;
}
