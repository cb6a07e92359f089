// The board functions over UDP: each request is one datagram to (IP, board port) from the board
// listener's socket, and the reply is awaited in rounds of 50 ms while events are processed.
#include <QStringList>

#include "engine/arrays.h"
#include "engine/constants.h"
#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/message_numbers.h"
#include "engine/script_error.h"
#include "net/board_protocol.h"
#include "net/local_address.h"
#include "net/net_families.h"
#include "net/net_support.h"
#include "net/udp_listener.h"
#include "unit_support/call_frame.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kReplyRounds = 20;        // about one second
constexpr int kAnalogReplyRounds = 30;  // about one and a half seconds

quint16 g_boardPort = 0;  // ARD_UDP_Set_Port's port: requests go to it, replies come back to it

void SendToBoard(const QString& address, const QString& request) {
  BoardListener().Send(address, g_boardPort, request);
}

void AwaitReply(int rounds = kReplyRounds) {
  WaitForReply(rounds, [] { return !BoardListener().Buffer().isEmpty(); });
}

// The request's delay argument `n` in milliseconds, 0 when not given.
qint64 DelayArgument(const GeneralCall& call, int n) {
  return std::max<qint64>(call.integerOr(n, 0), 0);
}

// Gives the board `ms` milliseconds before its reply is awaited, then empties the buffer. A
// reply that comes during the delay waits on the socket meanwhile, so the emptying drops only
// what was there before the request.
void DelayThenEmptyBuffer(qint64 ms) {
  BoardListener().Hold(true);
  SleepProcessingEvents(ms);
  BoardListener().Hold(false);
  BoardListener().Clear();
}

// ARD_UDP_Digital_Read(IP, pin): the value of a reply name "=" value.
void DigitalRead(GeneralCall& call) {
  BoardListener().Clear();
  SendToBoard(call.text(0), u"digital_read:%1;"_s.arg(call.integer(1)));
  AwaitReply();
  const QString reply = BoardListener().Take();
  SetSender(TextBefore(reply, u"="_s));
  call.setText(TextAfter(reply, u"="_s));
}

// ARD_UDP_Digital_Write(IP, pin, Value) and ARD_UDP_Analog_Write: no reply is awaited.
void DigitalWrite(GeneralCall& call) {
  SendToBoard(call.text(0), u"digital_write:%1;%2;"_s.arg(call.integer(1)).arg(call.integer(2)));
}
void AnalogWrite(GeneralCall& call) {
  SendToBoard(call.text(0), u"analog_write:%1;%2;"_s.arg(call.integer(1)).arg(call.integer(2)));
}

// The values of an analog series, one per line, as a temporary float array.
void SeriesArray(GeneralCall& call, QString values) {
  values.replace(u';', u'\r');
  QStringList lines = values.split(u'\r');
  if (lines.last().isEmpty()) lines.removeLast();  // a final break adds no line; no text, no line
  QList<TWordStatus> numbers;
  for (const QString& line : lines) {
    TWordStatus number;
    try {
      SetNumber(number, TextToInteger(line));
    } catch (const ScriptException&) {
      return call.failText(u"String to integer conversion error ("_s + line + u")."_s);
    }
    numbers << number;
  }
  const QString name = NewTemporaryArrayName();
  if (DeclareArrayOf(name, {numbers.size()}, wkFloat, numbers) > 0) call.setArray(name);
}

// ARD_UDP_Analog_Read(IP, analogPin[, count, interval]): one value as text, or a series of
// `count` values measured `interval` microseconds apart as an array.
void AnalogRead(GeneralCall& call) {
  if (call.text(0).isEmpty()) return call.fail(msg::kIpAddressNotSpecified);
  const qint64 count = call.count() >= 3 ? call.integer(2) : 0;
  const qint64 interval = call.count() == 4 ? call.integer(3) : 0;
  BoardListener().Clear();
  SendToBoard(call.text(0),
              u"analog_read:%1;%2;%3;"_s.arg(call.integer(1)).arg(count).arg(interval));
  // The board measures the series first; a day at most, whatever the arguments say.
  SleepProcessingEvents(std::clamp<qint64>(count * interval / 1000, 0, 86'400'000));
  AwaitReply(kAnalogReplyRounds);
  const QString values = TextBetween(BoardListener().Take().trimmed(), u"="_s, u">>>"_s);
  if (count == 0 || interval == 0) return call.setText(values);
  SeriesArray(call, values);
}

// ARD_UDP_Command(IP, Command[, Delay, Param1, Param2, Param3]): the value of the reply.
void Command(GeneralCall& call) {
  call.setText({});
  if (call.text(0).isEmpty()) return;
  SendToBoard(call.text(0), CommandRequest(call, 1, 3));
  DelayThenEmptyBuffer(DelayArgument(call, 2));
  AwaitReply();
  TakeNamedReply(call, BoardListener().Take());
}

// ARD_UDP_Broadcast_Command(Command[, Delay, Param1, Param2, Param3]): a [n,2] string array of
// the names and addresses of the boards that answered.
void BroadcastCommand(GeneralCall& call) {
  BoardListener().Send(BroadcastAddress(), g_boardPort, CommandRequest(call, 0, 2));
  DelayThenEmptyBuffer(DelayArgument(call, 1));
  AwaitReply();
  QString replies = BoardListener().Take();
  QList<TWordStatus> pairs;
  for (QString r; !(r = TextBetween(replies, u"<<<"_s, u">>>"_s)).isEmpty();
       replies = TextAfter(replies, u">>>"_s)) {
    for (const QString& text : {TextBefore(r, u"/"_s), TextBetween(r, u"/"_s, u":"_s)}) {
      TWordStatus word;
      word.kind = wkString;
      word.str = text;
      pairs << word;
    }
  }
  const QString name = NewTemporaryArrayName();
  if (DeclareArrayOf(name, {pairs.size() / 2, 2}, wkString, pairs) > 0) call.setArray(name);
}

// ARD_UDP_Get_Device_Name(IP[, Delay]): the board's name, empty when none answers.
void GetDeviceName(GeneralCall& call) {
  SendToBoard(call.text(0), u"get_device_name:"_s);
  DelayThenEmptyBuffer(call.count() == 2 ? DelayArgument(call, 1) : 0);
  AwaitReply();
  const QString reply = BoardListener().Take();
  SetSender(TextBetween(reply, u"<<<"_s, u"="_s));
  call.setText(reply.isEmpty() ? QString() : TextBetween(reply, u"="_s, u">>>"_s));
}

// ARD_UDP_Set_Port(Port): requests go to Port and replies are received on it; "True" when the
// board listener now listens there.
void SetPort(GeneralCall& call) {
  quint16 port;
  if (!PortArgument(call, 0, port)) return;
  g_boardPort = port;
  const QString address = LocalIPv4();
  if (address.isEmpty()) return call.fail(msg::kLocalNetworkNotFound);
  const bool listening = BoardListener().Activate(address, port) && BoardListener().Port() == port;
  call.setBool(listening);
  call.result().str = listening ? u"True"_s : u"False"_s;
}

const UnitFunctionEntry kBoardFunctions[] = {
    {u"ARD_UDP_Digital_Read", DigitalRead},
    {u"ARD_UDP_Digital_Write", DigitalWrite},
    {u"ARD_UDP_Analog_Read", AnalogRead},
    {u"ARD_UDP_Analog_Write", AnalogWrite},
    {u"ARD_UDP_Command", Command},
    {u"ARD_UDP_Broadcast_Command", BroadcastCommand},
    {u"ARD_UDP_Get_Device_Name", GetDeviceName},
    {u"ARD_UDP_Set_Port", SetPort},
};

}  // namespace

const std::span<const UnitFunctionEntry> kBoardFamily(kBoardFunctions);
