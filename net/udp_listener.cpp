#include "net/udp_listener.h"

#include <QNetworkDatagram>

#include "engine/text_codec.h"
#include "functions/file_paths.h"

QUdpSocket& UdpListener::Socket() {
  if (!socket_) {
    socket_ = new QUdpSocket(this);
    connect(socket_, &QUdpSocket::readyRead, this, &UdpListener::ReadPending);
  }
  return *socket_;
}

bool UdpListener::Activate(const QString& address, quint16 port) {
  Deactivate();
  defaultPort_ = port;
  const QHostAddress host =
      address.isEmpty() ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(address);
  return Socket().bind(host, port,
                       QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
}

void UdpListener::Deactivate() {
  buffer_.clear();
  if (socket_) socket_->close();
}

quint16 UdpListener::Port() const {
  return Active() ? socket_->localPort() : defaultPort_;
}

bool UdpListener::Send(const QString& address, quint16 port, const QString& message) {
  const QHostAddress host(address.trimmed());
  if (host.isNull()) return false;
  return Socket().writeDatagram(EncodeAnsi(message), host, port) >= 0;
}

void UdpListener::ReadPending() {
  if (!socket_ || held_) return;
  while (socket_->hasPendingDatagrams())
    buffer_ += DecodeAnsiBytes(socket_->receiveDatagram().data());
}

const QString& UdpListener::Buffer() {
  ReadPending();
  return buffer_;
}

QString UdpListener::Take() {
  ReadPending();
  return std::exchange(buffer_, QString());
}

UdpListener& ScriptListener() {
  static auto* listener = new UdpListener(10003);  // lives as long as the program
  return *listener;
}

UdpListener& BoardListener() {
  static auto* listener = new UdpListener(10002);
  return *listener;
}
