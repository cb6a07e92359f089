#include "net/local_address.h"

#include <QNetworkInterface>

QString LocalIPv4() {
  const QString fromEnvironment = qEnvironmentVariable("TRESSALY_LOCAL_IPV4").trimmed();
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto flags = interface.flags();
    if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
      continue;
    for (const QNetworkAddressEntry& entry : interface.addressEntries())
      if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) return entry.ip().toString();
  }
  return {};
}

QString BroadcastAddress() {
  const QString fromEnvironment = qEnvironmentVariable("TRESSALY_BROADCAST").trimmed();
  return fromEnvironment.isEmpty() ? QStringLiteral("255.255.255.255") : fromEnvironment;
}
