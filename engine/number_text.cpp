#include "engine/number_text.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/names.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString NonFiniteText(double value) {
  if (std::isnan(value)) return u"NAN"_s;
  return value < 0 ? u"-INF"_s : u"INF"_s;
}

}  // namespace

QString GeneralNumberText(double value, int digits, int maxPlainExponent, int minExponentDigits) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0) return u"0"_s;

  // Round to the requested significant digits: "d.ddd...e±xx".
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, digits - 1);
  *res.ptr = '\0';
  const std::string_view sci(buf, std::size_t(res.ptr - buf));
  const std::size_t ePos = sci.find('e');
  const bool negative = sci.front() == '-';
  std::string mantissa;
  for (char c : sci.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0)))
    if (c != '.') mantissa += c;
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  const int X = std::atoi(sci.data() + ePos + 1) + 1;  // value = 0.mantissa * 10^X

  std::string out = negative ? "-" : "";
  if (X > maxPlainExponent || X < -3) {
    out += mantissa[0];
    if (mantissa.size() > 1) out += '.' + mantissa.substr(1);
    out += 'E';
    const int e = X - 1;
    if (e < 0) out += '-';
    std::string mag = std::to_string(std::abs(e));
    while (int(mag.size()) < minExponentDigits) mag.insert(mag.begin(), '0');
    out += mag;
  } else if (X <= 0) {
    out += "0." + std::string(std::size_t(-X), '0') + mantissa;
  } else if (X >= int(mantissa.size())) {
    out += mantissa + std::string(std::size_t(X) - mantissa.size(), '0');
  } else {
    out += mantissa.substr(0, std::size_t(X)) + '.' + mantissa.substr(std::size_t(X));
  }
  return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString NumberText(double value) {
  // Whole numbers below 10^15 are by far the most frequent results: write them directly.
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    long long v = static_cast<long long>(value);
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
