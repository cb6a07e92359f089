#include "graphics/number_picture.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "engine/number_text.h"

namespace {

bool IsQuote(QChar c) {
  return c == u'"' || c == u'\'';
}

bool IsDigitPlaceholder(QChar c) {
  return c == u'0' || c == u'#';
}

// The picture cut at the ";" that stand outside quotes.
QStringList Sections(const QString& picture) {
  QStringList sections{QString()};
  QChar quote;
  for (const QChar c : picture) {
    if (quote.isNull() && c == u';') {
      sections.append(QString());
      continue;
    }
    if (IsQuote(c)) quote = quote.isNull() ? c : (quote == c ? QChar() : quote);
    sections.last() += c;
  }
  return sections;
}

// A section taken apart: the copied texts around the number and what its placeholders ask for.
struct NumberLayout {
  QString prefix, suffix;
  bool hasDigits = false;
  int minInteger = 0;   // "0"s before the separator
  int minDecimals = 0;  // up to the last "0" after it
  int maxDecimals = 0;  // every placeholder after it
  bool grouped = false;
};

NumberLayout LayoutOf(const QString& section) {
  NumberLayout layout;
  bool afterPoint = false, inNumber = false;
  QChar quote;
  for (qsizetype i = 0; i < section.size(); ++i) {
    const QChar c = section[i];
    if (!quote.isNull() || IsQuote(c)) {  // quoted text is copied without its quotes
      if (quote.isNull()) quote = c;
      else if (c == quote) quote = QChar();
      else (inNumber ? layout.suffix : layout.prefix) += c;
      continue;
    }
    const bool startsNumber = IsDigitPlaceholder(c) ||
                              (c == u'.' && i + 1 < section.size() && IsDigitPlaceholder(section[i + 1]));
    if (!layout.hasDigits && !startsNumber) {
      layout.prefix += c;
      continue;
    }
    if (!layout.hasDigits) layout.hasDigits = inNumber = true;
    if (!inNumber) {
      layout.suffix += c;
      continue;
    }
    if (c == u'.' && !afterPoint) {
      afterPoint = true;
    } else if (c == u',' && !afterPoint) {
      layout.grouped = true;
    } else if (IsDigitPlaceholder(c)) {
      if (!afterPoint) layout.minInteger += c == u'0';
      else if (c == u'0') layout.minDecimals = ++layout.maxDecimals;
      else ++layout.maxDecimals;
    } else {
      layout.suffix += c;  // the first other character ends the number
      inNumber = false;
    }
  }
  return layout;
}

QString GroupThousands(QString digits, QChar groupSeparator) {
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, groupSeparator);
  return digits;
}

QString Digits(double magnitude, const NumberLayout& layout, QChar decimalSeparator, QChar groupSeparator) {
  const QString fixed = QString::number(magnitude, 'f', layout.maxDecimals);
  const qsizetype point = fixed.indexOf(u'.');
  QString integer = point < 0 ? fixed : fixed.left(point);
  QString fraction = point < 0 ? QString() : fixed.mid(point + 1);
  while (fraction.size() > layout.minDecimals && fraction.endsWith(u'0')) fraction.chop(1);
  if (integer == u"0" && layout.minInteger == 0) integer.clear();
  if (integer.size() < layout.minInteger) integer = QString(layout.minInteger - integer.size(), u'0') + integer;
  if (layout.grouped) integer = GroupThousands(integer, groupSeparator);
  return fraction.isEmpty() ? integer : integer + decimalSeparator + fraction;
}

}  // namespace

QString FormatNumberPicture(double value, const QString& picture, QChar decimalSeparator,
                            QChar groupSeparator) {
  if (picture.isEmpty() || !std::isfinite(value)) {
    QString text = NumberText(value);
    return text.replace(u'.', decimalSeparator);
  }
  const QStringList sections = Sections(picture);
  QString section = sections[0];
  bool writeSign = value < 0;
  if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
    section = sections[1];
    writeSign = false;
  } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
    section = sections[2];
  }
  const NumberLayout layout = LayoutOf(section);
  if (!layout.hasDigits) return layout.prefix;
  const QString digits = Digits(std::fabs(value), layout, decimalSeparator, groupSeparator);
  const bool showsNonZero = std::any_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
  const QString sign = writeSign && showsNonZero ? QStringLiteral("-") : QString();  // no "-0.0"
  return sign + layout.prefix + digits + layout.suffix;
}
