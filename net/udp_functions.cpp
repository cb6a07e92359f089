// UDP_Activate, UDP_Deactivate, UDP_Send and UDP_Read: short text messages through the
// program's one UDP listener, which keeps what arrives between runs.
#include "engine/local_texts.h"
#include "net/local_address.h"
#include "net/net_families.h"
#include "net/net_support.h"
#include "net/udp_listener.h"
#include "unit_support/call_frame.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// UDP_Activate(Port): listens on (local address, Port); the local address used.
void UdpActivate(GeneralCall& call) {
  quint16 port;
  if (!PortArgument(call, 0, port)) return;
  const QString address = LocalIPv4();
  if (!ScriptListener().Activate(address, port))
    return call.failText(
        Bilingual(u"Cannot listen on UDP port %1."_s, u"Не удаётся слушать UDP-порт %1."_s)
            .arg(port));
  call.setText(address);
}

// UDP_Deactivate(Port): the argument is not used; whether the listener is still active.
void UdpDeactivate(GeneralCall& call) {
  ScriptListener().Deactivate();
  call.setBool(ScriptListener().Active());
}

// UDP_Send(IP_receiver, Port_receiver, Message): one datagram from the listener's socket.
void UdpSend(GeneralCall& call) {
  quint16 port;
  if (!PortArgument(call, 1, port)) return;
  if (!ScriptListener().Send(call.text(0), port, call.text(2)))
    call.failText(Bilingual(u"Cannot send a UDP message to \"%1\", port %2."_s,
                            u"Не удаётся отправить UDP-сообщение на \"%1\", порт %2."_s)
                      .arg(call.text(0))
                      .arg(port));
}

// UDP_Read(): everything received since the last read.
void UdpRead(GeneralCall& call) {
  ProcessPendingEvents();
  call.setText(ScriptListener().Take());
}

}  // namespace

const UnitFunctionEntry kUdpFunctions[] = {
    {u"UDP_Activate", UdpActivate},
    {u"UDP_Deactivate", UdpDeactivate},
    {u"UDP_Send", UdpSend},
    {u"UDP_Read", UdpRead},
};
const std::span<const UnitFunctionEntry> kUdpFamily(kUdpFunctions);
