#include "app/console_io.h"

#include <string>

#include "app/console_output.h"
#include "engine/messages.h"
#include "engine/line_breaks.h"
#include "engine/message_numbers.h"

void WriteConsoleLine(std::FILE* stream, const QString& text) {
  const bool whole = WriteInPieces(stream, text, [](QStringView piece) {
    return WithLfLineBreaks(piece.toString()).toUtf8();
  });
  if (!whole) std::fprintf(stream, "\n%s", MessageText(msg::kNotEnoughMemory).toUtf8().constData());
  std::fputc('\n', stream);
  std::fflush(stream);
}

bool ReadConsoleLine(std::FILE* stream, QString& line) {
  std::string bytes;
  int c;
  while ((c = std::fgetc(stream)) != EOF && c != '\n') bytes += char(c);
  if (c == EOF && bytes.empty()) return false;
  if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  line = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
  return true;
}
