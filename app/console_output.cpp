#include "app/console_output.h"

#include <new>

namespace {

constexpr qsizetype kPieceLength = 1 << 16;

}  // namespace

bool WriteInPieces(std::FILE* stream, QStringView text,
                   const std::function<QByteArray(QStringView piece)>& encode) {
  try {
    for (qsizetype start = 0; start < text.size();) {
      qsizetype end = std::min(text.size(), start + kPieceLength);
      while (end < text.size() && (text[end - 1] == u'\r' || text[end - 1].isHighSurrogate())) ++end;
      const QByteArray bytes = encode(text.sliced(start, end - start));
      std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
      start = end;
    }
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}
