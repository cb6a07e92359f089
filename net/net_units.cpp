#include "net/net_units.h"

#include "net/net_families.h"
#include "net/net_support.h"
#include "unit_support/call_frame.h"
#include "unit_support/described_unit.h"

namespace {

void CallFtpFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::FTP, {kFtpFamily, kUdpFamily},
                                  ArgumentCountPolicy::WordsWithTextOrKind);
  table.Call(name, args, result);
}

void CallArduinoFunction(const QString& name, const TWordArray& args, TWordStatus& result) {
  static const HandlerTable table(TableId::Arduino, {kBoardFamily, kSerialFamily},
                                  ArgumentCountPolicy::WordsWithTextOrKind);
  ShowWaitingLine();  // a board may take seconds to answer
  table.Call(name, args, result);
}

}  // namespace

FunctionUnit& FtpUnit() {
  static DescribedUnit unit(TableId::FTP, CallFtpFunction);
  return unit;
}

FunctionUnit& ArduinoUnit() {
  static DescribedUnit unit(TableId::Arduino, CallArduinoFunction);
  return unit;
}
