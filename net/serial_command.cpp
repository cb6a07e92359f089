// ARD_COM_Port_Command: one request to a board on a serial port and its reply. The port is open
// only during the call: opened (the board resets, so it is given 1.5 s), written, read until the
// reply arrives or the delay has passed, and closed.
#include <QElapsedTimer>
#include <QSerialPort>

#include "engine/message_numbers.h"
#include "engine/program_folder.h"
#include "engine/run_host.h"
#include "ide/settings_file.h"
#include "net/board_protocol.h"
#include "net/net_families.h"
#include "net/net_support.h"
#include "unit_support/call_frame.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kBoardResetMs = 1500;
constexpr qint64 kReadChunk = 1024;

// The rates a script may ask for; 28800 and 33600 are not rates of the serial library and
// open the port at 9600.
constexpr char16_t kBaudRates[] =
    u",110,300,600,1200,2400,4800,9600,14400,19200,28800,33600,38400,56000,57600,115200,128000,";

qint32 OpenedRate(int rate) {
  return rate == 28800 || rate == 33600 ? 9600 : rate;
}

// "COMn" as section [ComPorts] of the settings file maps it, else /dev/ttyS(n-1).
QString DeviceOfComPort(int number) {
  const QString name = u"COM"_s + QString::number(number);
  IniFile settings;
  settings.Load(ProgramFolder() + u"tressaly.ini"_s);
  return settings.GetString(u"ComPorts", name, u"/dev/ttyS"_s + QString::number(number - 1));
}

// Receives what the board sends, decoded, until the port is closed.
class SerialReply : public QObject {
 public:
  explicit SerialReply(QSerialPort& port) : port_(port) {
    connect(&port, &QSerialPort::readyRead, this, &SerialReply::Read);
  }
  const QString& Text() {
    Read();
    return text_;
  }

 private:
  void Read() {
    while (port_.isOpen() && port_.bytesAvailable() > 0)
      text_ += DecodeSerialBytes(port_.read(std::min(port_.bytesAvailable(), kReadChunk)));
  }
  QSerialPort& port_;
  QString text_;
};

// ARD_COM_Port_Command(COM_Port, BoudRate, Command[, Delay, Param1, Param2, Param3])
void ComPortCommand(GeneralCall& call) {
  const qint64 number = call.integer(0);
  if (number < 3 || number > 256)
    return call.fail(msg::kComPortOutOfRange, {int(std::clamp<qint64>(number, INT_MIN, INT_MAX))});
  const QString rateText = call.text(1).trimmed();
  if (rateText.isEmpty() || rateText.contains(u',') ||
      !QStringView(kBaudRates).contains(u',' + rateText + u','))
    return call.fail(msg::kInvalidBaudRate, {call.text(1)});
  const QString request = CommandRequest(call, 2, 4);

  QSerialPort port(DeviceOfComPort(int(number)));
  port.setBaudRate(OpenedRate(rateText.toInt()));
  SerialReply reply(port);
  if (port.open(QIODevice::ReadWrite)) {  // a port that does not open just gives no reply
    port.clear();  // what came after an earlier call closed the port answers no request of this one
    SleepProcessingEvents(kBoardResetMs);
    port.write(request.toUtf8());
    port.waitForBytesWritten(1000);
  }
  QElapsedTimer clock;
  clock.start();
  const qint64 delay = std::max<qint64>(call.integerOr(3, 0), 0);
  do {
    SleepProcessingEvents(50);
  } while (clock.elapsed() < delay && reply.Text().isEmpty() && !Host().PauseRequested());
  const QString received = reply.Text();
  port.close();
  TakeNamedReply(call, received);
}

const UnitFunctionEntry kSerialFunctions[] = {
    {u"ARD_COM_Port_Command", ComPortCommand},
};

}  // namespace

const std::span<const UnitFunctionEntry> kSerialFamily(kSerialFunctions);
