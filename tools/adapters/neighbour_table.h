#pragma once

// The kernel's IPv4 neighbour table (what Windows calls the ARP cache).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/adapters/ipv4_address.h"
#include "tools/adapters/mac_address.h"

namespace vt::adapters {

struct NeighbourEntry {
    int interfaceIndex = 0;
    Ipv4Address address;
    std::optional<MacAddress> mac;  // missing while unresolved, or when not six bytes long
    std::uint16_t state = 0;        // the kernel's NUD_* bits

    bool operator==(const NeighbourEntry&) const = default;
};

enum class NeighbourKind {
    Dynamic,  // learned and still trusted: reachable, stale, delay, probe
    Static,   // permanent, or a broadcast or multicast address
    Unusable  // failed, incomplete, or without a MAC address
};

// `broadcastAddress`: the address is a broadcast of the entry's network.
NeighbourKind neighbourKind(const NeighbourEntry& entry, bool broadcastAddress);

// One RTM_NEWNEIGH payload; nothing when it is not IPv4 or is malformed.
std::optional<NeighbourEntry> decodeNeighbourMessage(std::string_view payload);

// The whole IPv4 table; nothing, with the French reason in `error`, when it cannot be read.
std::optional<std::vector<NeighbourEntry>> readNeighbourTable(std::string& error);

// The MAC address the table holds for an address in a usable entry.
std::optional<MacAddress> macOf(const std::vector<NeighbourEntry>& table, Ipv4Address address);

}  // namespace vt::adapters
