#include "engine/byte_buffer.h"

#include <QFile>
#include <new>

#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"

void ReadFileBytes(const QString& fileName, qint64 offset) {
  QFile file(fileName);
  if (!file.exists()) return;
  const qint64 n = file.size() - offset;
  if (n <= 0) {
    RaiseScriptError(MessageText(msg::kReadPastEnd, {offset, fileName}));
    return;
  }
  if (!file.open(QIODevice::ReadOnly) || !file.seek(offset)) {
    RaiseScriptError(MessageText(msg::kInvalidFileName, {fileName}));
    return;
  }
  try {
    QByteArray bytes = file.read(n);
    if (bytes.size() != n) {
      RaiseScriptError(MessageText(msg::kInvalidFileName, {fileName}));
      return;
    }
    Engine().ByteBuffer = std::move(bytes);
  } catch (const std::bad_alloc&) {
    RaiseScriptError(MessageText(msg::kInvalidFileName, {fileName}));
  }
}
