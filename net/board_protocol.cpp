#include "net/board_protocol.h"

#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "functions/file_paths.h"
#include "unit_support/call_frame.h"

using namespace Qt::Literals::StringLiterals;

QString CommandRequest(const GeneralCall& call, int commandArg, int firstParam) {
  QString request = call.text(commandArg) + u':';
  for (int n = firstParam; n < call.count(); ++n) request += call.text(n) + u';';
  return request;
}

QString TextBefore(const QString& text, const QString& marker) {
  return TextBetween(text, {}, marker);
}

void SetSender(const QString& name) {
  SetVariable(u"sender"_s, name, wkString);
}

void TakeNamedReply(GeneralCall& call, const QString& reply) {
  const QString inner = TextBetween(reply, u"<<<"_s, u">>>"_s);
  SetSender(TextBefore(inner, u"="_s));
  call.setText(TextAfter(inner, u"="_s));
}

QString DecodeSerialBytes(QByteArrayView bytes) {
  QString text;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto byte = quint8(bytes[i]);
    const bool lead = byte >= 194 && byte <= 253;
    if (lead && i + 1 < bytes.size() && quint8(bytes[i + 1]) >= 128 &&
        quint8(bytes[i + 1]) <= 191) {
      text += QString::fromUtf8(bytes.sliced(i, 2));
      ++i;
    } else if (!lead && byte >= 128) {
      continue;  // a continuation byte without its lead, or 254 and 255
    } else {
      text += DecodeAnsiBytes(bytes.sliced(i, 1));
    }
  }
  return text;
}
