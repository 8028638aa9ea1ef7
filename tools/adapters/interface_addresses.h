#pragma once

// The IPv4 addresses of the local interfaces, from the kernel's address table: the networks
// the adapters broadcast on and the addresses they print as their own.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/adapters/ipv4_address.h"

namespace vt::adapters {

struct InterfaceAddress {
    int interfaceIndex = 0;
    Ipv4Address address;
    int prefixLength = 32;
    bool loopback = false;  // host scope or 127.0.0.0/8: never broadcast on

    Ipv4Address broadcast() const { return broadcastOf(address, prefixLength); }
    bool operator==(const InterfaceAddress&) const = default;
};

// One RTM_NEWADDR payload; nothing when it is not IPv4 or is malformed.
std::optional<InterfaceAddress> decodeAddressMessage(std::string_view payload);

// Every local IPv4 address in the kernel's order; nothing, with the French reason in
// `error`, when the table cannot be read.
std::optional<std::vector<InterfaceAddress>> readInterfaceAddresses(std::string& error);

// The directed broadcasts of the networks of the addresses, loopback excepted, each once.
std::vector<Ipv4Address> localBroadcasts(const std::vector<InterfaceAddress>& addresses);

// The address shown as the node's own: the first one that is not loopback, else the first.
std::optional<Ipv4Address> shownLocalAddress(const std::vector<InterfaceAddress>& addresses);

}  // namespace vt::adapters
