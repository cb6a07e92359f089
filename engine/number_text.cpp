#include "engine/number_text.h"

#include <QLocale>
#include <array>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "engine/names.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString NonFiniteText(double value) {
  if (std::isnan(value)) return u"NAN"_s;
  return value < 0 ? u"-INF"_s : u"INF"_s;
}

// The texts of the smallest whole numbers, written at compile time: a text made of them shares
// the table instead of taking memory of its own, so counters, indexes and small results cost no
// allocation. Each entry ends in a 0, as a string's own data does.
constexpr int kFirstTabled = -999, kLastTabled = 9999, kEntryChars = 6;

struct TabledTexts {
  std::array<char16_t, std::size_t(kLastTabled - kFirstTabled + 1) * kEntryChars> chars{};
  std::array<std::uint8_t, std::size_t(kLastTabled - kFirstTabled + 1)> lengths{};

  constexpr TabledTexts() {
    for (int v = kFirstTabled; v <= kLastTabled; ++v) {
      const std::size_t at = std::size_t(v - kFirstTabled);
      char16_t digits[kEntryChars] = {};
      int n = 0;
      for (int rest = v < 0 ? -v : v; n == 0 || rest != 0; rest /= 10) digits[n++] = char16_t(u'0' + rest % 10);
      if (v < 0) digits[n++] = u'-';
      for (int i = 0; i < n; ++i) chars[at * kEntryChars + std::size_t(i)] = digits[n - 1 - i];
      lengths[at] = std::uint8_t(n);
    }
  }
};

constexpr TabledTexts kTabled;

}  // namespace

namespace {

// A finite, non-zero value rounded to `digits` significant digits: value = 0.mantissa * 10^X.
struct RoundedDecimal {
  bool negative = false;
  char mantissa[40];
  int m = 0;  // digits in the mantissa, trailing zeros dropped
  int X = 0;
};

RoundedDecimal RoundToDigits(double value, int digits) {
  RoundedDecimal d;
  char sci[48];
  const auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
  const char* p = sci;
  d.negative = *p == '-';
  if (d.negative) ++p;
  for (; p < res.ptr && *p != 'e'; ++p)
    if (*p != '.') d.mantissa[d.m++] = *p;
  while (d.m > 1 && d.mantissa[d.m - 1] == '0') --d.m;
  int exponent = 0;
  bool exponentNegative = false;
  if (p < res.ptr) ++p;  // 'e'
  if (p < res.ptr && (*p == '-' || *p == '+')) exponentNegative = *p++ == '-';
  for (; p < res.ptr; ++p) exponent = exponent * 10 + (*p - '0');
  d.X = (exponentNegative ? -exponent : exponent) + 1;
  return d;
}

// The number the decimal's text reads as, where one operation gives it exactly: M is below
// 2^53 and 10^|k| up to 10^22 is exact, so one correctly rounded operation gives the nearest
// double to M * 10^k. False otherwise (the text must be read).
bool DecimalValue(const RoundedDecimal& d, double& value) {
  if (d.m > 15) return false;
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::int64_t M = 0;
  for (int i = 0; i < d.m; ++i) M = M * 10 + (d.mantissa[i] - '0');
  const int k = d.X - d.m;
  if (k < -22 || k > 22) return false;
  const double r = k >= 0 ? double(M) * kPowers[k] : double(M) / kPowers[-k];
  value = d.negative ? -r : r;
  return true;
}

}  // namespace

QString GeneralNumberText(double value, int digits, int maxPlainExponent, int minExponentDigits,
                          double* readBack) {
  if (readBack) *readBack = std::numeric_limits<double>::quiet_NaN();
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0) {
    if (readBack) *readBack = 0;
    return u"0"_s;
  }

  // Round to the requested significant digits. Everything below works in fixed buffers: this
  // runs for every fractional result.
  const RoundedDecimal d = RoundToDigits(value, digits);
  const bool negative = d.negative;
  const char* const mantissa = d.mantissa;
  const int m = d.m, X = d.X;
  if (readBack) DecimalValue(d, *readBack);

  char out[96];
  int n = 0;
  const auto put = [&](char c) { out[n++] = c; };
  const auto putDigits = [&](int from, int to) {
    for (int i = from; i < to; ++i) put(mantissa[i]);
  };
  if (negative) put('-');
  if (X > maxPlainExponent || X < -3) {
    put(mantissa[0]);
    if (m > 1) {
      put('.');
      putDigits(1, m);
    }
    put('E');
    int e = X - 1;
    if (e < 0) {
      put('-');
      e = -e;
    }
    char magnitude[12];
    int k = 0;
    do {
      magnitude[k++] = char('0' + e % 10);
      e /= 10;
    } while (e != 0);
    while (k < minExponentDigits && k < int(sizeof magnitude)) magnitude[k++] = '0';
    while (k > 0) put(magnitude[--k]);
  } else if (X <= 0) {
    put('0');
    put('.');
    for (int i = 0; i < -X; ++i) put('0');
    putDigits(0, m);
  } else if (X >= m) {
    putDigits(0, m);
    for (int i = m; i < X; ++i) put('0');
  } else {
    putDigits(0, X);
    put('.');
    putDigits(X, m);
  }
  return QString::fromLatin1(out, n);
}

QString NumberText(double value, double& readBack) {
  if (IsShortWholeNumber(value)) {
    readBack = value == 0 ? 0.0 : value;  // "0" for negative zero
    return NumberText(value);
  }
  QString text = GeneralNumberText(value, 15, 15, 1, &readBack);
  if (std::isnan(readBack) && !ParseNumberText(text, readBack)) readBack = 0;
  return text;
}

bool NumberTextValue(double value, double& readBack) {
  if (IsShortWholeNumber(value)) {
    readBack = value == 0 ? 0.0 : value;
    return true;
  }
  if (!std::isfinite(value)) return false;
  return DecimalValue(RoundToDigits(value, 15), readBack);
}

bool IsTabledNumberText(const QString& text, double value) {
  if (!IsShortWholeNumber(value) || value < kFirstTabled || value > kLastTabled) return false;
  const std::size_t at = std::size_t(static_cast<long long>(value) - kFirstTabled);
  return text.constData() == reinterpret_cast<const QChar*>(&kTabled.chars[at * kEntryChars]) &&
         text.size() == kTabled.lengths[at];
}

QString NumberText(double value) {
  // Whole numbers below 10^15 are by far the most frequent results: write them directly.
  if (IsShortWholeNumber(value)) {
    long long v = static_cast<long long>(value);
    if (v >= kFirstTabled && v <= kLastTabled) {
      const std::size_t at = std::size_t(v - kFirstTabled);
      return QString::fromRawData(reinterpret_cast<const QChar*>(&kTabled.chars[at * kEntryChars]),
                                  kTabled.lengths[at]);
    }
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
      *--p = char('0' + v % 10);
      v /= 10;
    } while (v != 0);
    if (negative) *--p = '-';
    return QString::fromLatin1(p, qsizetype(end - p));
  }
  return GeneralNumberText(value, 15, 15, 1);
}

bool ParseNumberText(QStringView text, double& value) {
  // Plain whole numbers of up to 15 digits are by far the most common texts; they read exactly.
  if (const qsizetype n = text.size(); n > 0 && n <= 16) {
    const bool negative = text[0] == u'-';
    qsizetype i = negative ? 1 : 0;
    if (i < n) {
      long long v = 0;
      for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9') break;
        v = v * 10 + (c - '0');
      }
      if (i == n && n - (negative ? 1 : 0) <= 15) {
        value = negative ? -double(v) : double(v);
        return true;
      }
    }
  }
  qsizetype from = 0, to = text.size();
  while (from < to && IsTrimmable(text[from])) ++from;
  while (to > from && IsTrimmable(text[to - 1])) --to;
  if (from < to && text[from] == u'+') ++from;
  const qsizetype n = to - from;
  if (n <= 0 || n > 400) return false;
  char buf[401];
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = text[from + i].unicode();
    if (c > 127) return false;
    buf[i] = char(c);
  }
  // from_chars does not accept a sign after the leading one or a second "+": same as before.
  if (n > 1 && buf[0] == '-' && buf[1] == '+') return false;
  double v = 0;
  const auto res = std::from_chars(buf, buf + n, v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != buf + n) return false;
  value = v;
  return true;
}

bool ParseValueNumber(QStringView text, double& value) {
  if (ParseNumberText(text, value)) return true;
  const QString point = QLocale::system().decimalPoint();
  return point != u"."_s && text.contains(point) &&
         ParseNumberText(text.toString().replace(point, u"."_s), value);
}

QString FormatNumberWidth(int width, double value) {
  const bool fixed =
      (value > 0.0001 && value < 9999999999.0) || (value < -0.0001 && value > -999999999.0);
  QString text;
  if (fixed) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%*.9f", width, value);
    text = QString::fromLatin1(buf).left(width);
    if (text.contains(u'.')) {
      qsizetype i = text.size() - 1;
      while (i >= 0 && (text[i] == u'0' || text[i] == u' ')) text[i--] = u' ';
      if (i >= 0 && text[i] == u'.') text.truncate(i);
    }
  } else {
    text = GeneralNumberText(value, 5, 5, 3);
  }
  while (text.size() < width) text.prepend(u' ');
  return text;
}
