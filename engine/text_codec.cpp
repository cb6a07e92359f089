#include "engine/text_codec.h"

#include <iconv.h>

#include <QHash>
#include <QStringDecoder>
#include <array>

#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// One code page as a byte-to-character table and its reverse. The code pages are single-byte,
// so asking iconv once per byte gives the whole mapping; undefined bytes keep their Latin-1
// value, which is also what Windows does and lets them survive a round trip.
struct CodePage {
  std::array<char16_t, 256> toUnicode{};
  QHash<char16_t, char> fromUnicode;

  explicit CodePage(const char* iconvName) {
    for (int b = 0; b < 256; ++b) toUnicode[b] = char16_t(b);
    iconv_t cd = iconv_open("UTF-16LE", iconvName);
    if (cd != iconv_t(-1)) {
      for (int b = 128; b < 256; ++b) {
        char in = char(b);
        unsigned char out[4];
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outLeft == 2)
          toUnicode[b] = char16_t(out[0] | (out[1] << 8));
        iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset after a failed conversion
      }
      iconv_close(cd);
    }
    for (int b = 255; b >= 0; --b) fromUnicode.insert(toUnicode[b], char(b));
  }
};

const CodePage& CurrentCodePage() {
  static const CodePage cp1251("CP1251");
  static const CodePage cp1252("CP1252");
  return AnsiCodePage() == 1251 ? cp1251 : cp1252;
}

QString DecodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes) {
  QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
  return decoder.decode(bytes);
}

}  // namespace

int AnsiCodePage() {
  return LanguageIndex() == 1 ? 1251 : 1252;
}

QString DecodeScriptBytes(const QByteArray& bytes) {
  const QByteArrayView view(bytes);
  if (view.startsWith("\xEF\xBB\xBF")) return DecodeWith(QStringConverter::Utf8, view.sliced(3));
  if (view.startsWith("\xFF\xFE")) return DecodeWith(QStringConverter::Utf16LE, view.sliced(2));
  if (view.startsWith("\xFE\xFF")) return DecodeWith(QStringConverter::Utf16BE, view.sliced(2));
  if (view.isValidUtf8()) return QString::fromUtf8(view);

  const CodePage& cp = CurrentCodePage();
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) out[i] = QChar(cp.toUnicode[uchar(bytes[i])]);
  return text;
}

QByteArray EncodeAnsi(const QString& text) {
  const CodePage& cp = CurrentCodePage();
  QByteArray bytes;
  bytes.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    // A pair of surrogates is one character outside every code page: one "?".
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    bytes += cp.fromUnicode.value(c.unicode(), '?');
  }
  return bytes;
}
