#include "tools/adapters/interface_addresses.h"

#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>

#include "tools/adapters/netlink_dump.h"

namespace vt::adapters {

std::optional<InterfaceAddress> decodeAddressMessage(std::string_view payload) {
    ifaddrmsg message{};
    std::string_view attributes;
    if (!splitPayload(payload, message, attributes) || message.ifa_family != AF_INET ||
        message.ifa_prefixlen > 32) {
        return std::nullopt;
    }
    std::optional<Ipv4Address> local;
    std::optional<Ipv4Address> address;
    const bool wellFormed =
        forEachRouteAttribute(attributes, [&](std::uint16_t type, std::string_view data) {
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
    return readNetlinkTable(RTM_GETADDR, RTM_NEWADDR, request, &decodeAddressMessage, error);
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
