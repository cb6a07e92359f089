// A UDP listener that lives for the whole program: one binding, and a text buffer to which every
// datagram received is appended (decoded in the 8-bit code page, without separators). Requests
// are sent from its own socket so that replies come back to its port.
#pragma once

#include <QObject>
#include <QString>
#include <QUdpSocket>

class UdpListener : public QObject {
 public:
  explicit UdpListener(quint16 defaultPort) : defaultPort_(defaultPort) {}

  // Stops listening, empties the buffer and binds anew to (address, port); an empty address
  // binds to every interface. False when the port cannot be bound.
  bool Activate(const QString& address, quint16 port);
  // Empties the buffer and stops listening.
  void Deactivate();
  bool Active() const { return socket_ && socket_->state() == QAbstractSocket::BoundState; }
  // The port the listener is bound to, else the default port (the last one asked for).
  quint16 Port() const;

  // One datagram with `message` (in the 8-bit code page) to (address, port). False when the
  // address is not an IPv4 or IPv6 address or the datagram could not be sent.
  bool Send(const QString& address, quint16 port, const QString& message);

  // The buffer, with whatever datagrams are waiting on the socket appended first.
  const QString& Buffer();
  // The buffer's text, the buffer emptied.
  QString Take();
  void Clear() { buffer_.clear(); }
  // While held, datagrams wait on the socket instead of entering the buffer.
  void Hold(bool held) { held_ = held; }

 private:
  QUdpSocket& Socket();
  void ReadPending();

  QUdpSocket* socket_ = nullptr;  // made on first use (it needs the application object)
  quint16 defaultPort_;
  QString buffer_;
  bool held_ = false;
};

// The listener of UDP_Activate and the one of the board functions.
UdpListener& ScriptListener();
UdpListener& BoardListener();
