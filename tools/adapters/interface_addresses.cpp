#include "tools/adapters/interface_addresses.h"

#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "tools/adapters/netlink_dump.h"

namespace vt::adapters {

std::optional<InterfaceAddress> decodeAddressMessage(std::string_view payload) {
    ifaddrmsg message{};
    const std::size_t headerLength = NLMSG_ALIGN(sizeof message);
    if (payload.size() < headerLength) {
        return std::nullopt;
    }
    std::memcpy(&message, payload.data(), sizeof message);
    if (message.ifa_family != AF_INET || message.ifa_prefixlen > 32) {
        return std::nullopt;
    }
    std::optional<Ipv4Address> local;
    std::optional<Ipv4Address> address;
    const bool wellFormed = forEachRouteAttribute(payload.substr(headerLength),
                                                  [&](std::uint16_t type, std::string_view data) {
                                                      if (type == IFA_LOCAL) {
                                                          local = ipv4FromBytes(data);
                                                      } else if (type == IFA_ADDRESS) {
                                                          address = ipv4FromBytes(data);
                                                      }
                                                  });
    // IFA_ADDRESS is the peer's on a point-to-point link; IFA_LOCAL is always our own.
    const std::optional<Ipv4Address> own = local ? local : address;
    if (!wellFormed || !own) {
        return std::nullopt;
    }
    InterfaceAddress entry;
    entry.interfaceIndex = static_cast<int>(message.ifa_index);
    entry.address = *own;
    entry.prefixLength = message.ifa_prefixlen;
    entry.loopback = message.ifa_scope == RT_SCOPE_HOST || isLoopback(*own);
    return entry;
}

std::optional<std::vector<InterfaceAddress>> readInterfaceAddresses(std::string& error) {
    ifaddrmsg request{};
    request.ifa_family = AF_INET;
    const auto payloads = dumpNetlinkTable(
        RTM_GETADDR, RTM_NEWADDR,
        std::string_view(reinterpret_cast<const char*>(&request), sizeof request), error);
    if (!payloads) {
        return std::nullopt;
    }
    std::vector<InterfaceAddress> addresses;
    for (const std::string& payload : *payloads) {
        if (const auto entry = decodeAddressMessage(payload)) {
            addresses.push_back(*entry);
        }
    }
    return addresses;
}

std::vector<Ipv4Address> localBroadcasts(const std::vector<InterfaceAddress>& addresses) {
    std::vector<Ipv4Address> broadcasts;
    for (const InterfaceAddress& entry : addresses) {
        // A /32 or /31 has no broadcast of its own: nothing to discover there.
        if (entry.loopback || entry.prefixLength >= 31) {
            continue;
        }
        const Ipv4Address broadcast = entry.broadcast();
        if (std::find(broadcasts.begin(), broadcasts.end(), broadcast) == broadcasts.end()) {
            broadcasts.push_back(broadcast);
        }
    }
    return broadcasts;
}

std::optional<Ipv4Address> shownLocalAddress(const std::vector<InterfaceAddress>& addresses) {
    for (const InterfaceAddress& entry : addresses) {
        if (!entry.loopback) {
            return entry.address;
        }
    }
    if (addresses.empty()) {
        return std::nullopt;
    }
    return addresses.front().address;
}

}  // namespace vt::adapters
