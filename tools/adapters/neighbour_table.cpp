#include "tools/adapters/neighbour_table.h"

#include <linux/neighbour.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cstring>

#include "tools/adapters/netlink_dump.h"

namespace vt::adapters {

namespace {

constexpr std::uint16_t kUnresolvedStates = NUD_INCOMPLETE | NUD_FAILED;
constexpr std::uint16_t kStaticStates = NUD_PERMANENT | NUD_NOARP;
constexpr std::uint16_t kDynamicStates = NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE;

}  // namespace

NeighbourKind neighbourKind(const NeighbourEntry& entry, bool broadcastAddress) {
    if (!entry.mac || (entry.state & kUnresolvedStates) != 0) {
        return NeighbourKind::Unusable;
    }
    if ((entry.state & kStaticStates) != 0 || broadcastAddress || isMulticast(entry.address) ||
        entry.address.value == 0xFFFFFFFFU) {
        return NeighbourKind::Static;
    }
    if ((entry.state & kDynamicStates) != 0) {
        return NeighbourKind::Dynamic;
    }
    return NeighbourKind::Unusable;
}

std::optional<NeighbourEntry> decodeNeighbourMessage(std::string_view payload) {
    ndmsg message{};
    std::string_view attributes;
    if (!splitPayload(payload, message, attributes) || message.ndm_family != AF_INET) {
        return std::nullopt;
    }
    NeighbourEntry entry;
    entry.interfaceIndex = message.ndm_ifindex;
    entry.state = message.ndm_state;
    bool hasAddress = false;
    const bool wellFormed =
        forEachRouteAttribute(attributes, [&](std::uint16_t type, std::string_view data) {
            if (type == NDA_DST) {
                if (const auto address = ipv4FromBytes(data)) {
                    entry.address = *address;
                    hasAddress = true;
                }
            } else if (type == NDA_LLADDR && data.size() == MacAddress{}.size()) {
                MacAddress mac{};
                std::memcpy(mac.data(), data.data(), mac.size());
                entry.mac = mac;
            }
        });
    if (!wellFormed || !hasAddress) {
        return std::nullopt;
    }
    return entry;
}

std::optional<std::vector<NeighbourEntry>> readNeighbourTable(std::string& error) {
    ndmsg request{};
    request.ndm_family = AF_INET;
    return readNetlinkTable(RTM_GETNEIGH, RTM_NEWNEIGH, request, &decodeNeighbourMessage, error);
}

std::optional<MacAddress> macOf(const std::vector<NeighbourEntry>& table, Ipv4Address address) {
    for (const NeighbourEntry& entry : table) {
        if (entry.address == address && neighbourKind(entry, false) != NeighbourKind::Unusable) {
            return entry.mac;
        }
    }
    return std::nullopt;
}

}  // namespace vt::adapters
