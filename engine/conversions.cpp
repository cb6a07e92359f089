#include "engine/conversions.h"

#include "engine/engine_state.h"

using namespace Qt::Literals::StringLiterals;

QString HexToBinGroups(QStringView hexDigits) {
  static constexpr const char16_t* kGroups[16] = {
      u"0000", u"0001", u"0010", u"0011", u"0100", u"0101", u"0110", u"0111",
      u"1000", u"1001", u"1010", u"1011", u"1100", u"1101", u"1110", u"1111"};
  QString out;
  out.reserve(hexDigits.size() * 5);
  for (QChar c : hexDigits) {
    const int v = c.isDigit()                                  ? c.digitValue()
                  : (c.unicode() >= 'A' && c.unicode() <= 'F') ? c.unicode() - 'A' + 10
                                                               : -1;
    if (v < 0) continue;  // the input comes from an integer-to-hex conversion
    out += u' ';
    out += QStringView(kGroups[v]);
  }
  return out;
}

QString EncodeBase64Utf16(const QString& text) {
  QByteArray& bytes = Engine().ByteBuffer;
  bytes.resize(text.size() * 2);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    bytes[2 * i] = char(u & 0xFF);
    bytes[2 * i + 1] = char(u >> 8);
  }
  const QByteArray encoded = bytes.toBase64();
  QString out;
  out.reserve(encoded.size() + encoded.size() / 76 * 2);
  for (qsizetype i = 0; i < encoded.size(); i += 76) {
    if (i > 0) out += u"\r\n"_s;
    out += QLatin1StringView(encoded.mid(i, 76));
  }
  return out;
}

QString DecodeBase64Utf16(const QString& base64) {
  QByteArray& bytes = Engine().ByteBuffer;
  bytes = QByteArray::fromBase64(base64.toLatin1());  // characters outside the alphabet are skipped
  QString out;
  out.reserve(bytes.size() / 2);
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
    out += QChar(char16_t(std::uint8_t(bytes[i]) | (std::uint8_t(bytes[i + 1]) << 8)));
  return out;
}

QString BoolText(bool value) {
  return value ? u"true"_s : u"false"_s;
}

QString TextBetween(const QString& text, const QString& startMarker, const QString& endMarker) {
  qsizetype begin = 0;
  if (!startMarker.isEmpty()) {
    const qsizetype p = text.indexOf(startMarker);
    if (p < 0) return {};
    begin = p + startMarker.size();
  }
  qsizetype end = text.size();
  if (!endMarker.isEmpty()) {
    end = text.indexOf(endMarker, begin);
    if (end < 0) return {};
  }
  return text.mid(begin, end - begin);
}

QString TextAfter(const QString& text, const QString& marker) {
  if (marker.isEmpty()) return {};
  const qsizetype p = text.indexOf(marker);
  if (p < 0) return {};
  return text.mid(p + marker.size(), 999999);
}
