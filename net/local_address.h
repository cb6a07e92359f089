// The addresses the network functions use: the machine's own IPv4 address and the broadcast
// address. Both can be overridden from the environment (the tests keep to loopback that way).
#pragma once

#include <QString>

// TRESSALY_LOCAL_IPV4 when set, else the first IPv4 address of an interface that is up and not
// a loopback; empty when there is none.
QString LocalIPv4();
// TRESSALY_BROADCAST when set, else 255.255.255.255.
QString BroadcastAddress();
