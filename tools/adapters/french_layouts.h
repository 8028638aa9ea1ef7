#pragma once

// The outputs of the Windows commands as the French-language edition prints them, which the
// system's parsers read: Windows-1252 bytes, CR LF line ends. Names are Windows-1252 bytes
// already and are printed as they are.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/adapters/ipv4_address.h"
#include "tools/adapters/mac_address.h"
#include "tools/adapters/name_cache.h"

namespace vt::adapters {

enum class NameState { Registered, Conflict, Deregistering };

struct NameTableRow {
    std::string name;
    std::uint8_t suffix = 0;
    bool group = false;
    NameState state = NameState::Registered;
};

// "nbtstat -a": the name table of a node and its MAC address. `local` is the address of the
// interface that reached the node.
std::string nodeStatusLayout(Ipv4Address local, const std::vector<NameTableRow>& rows,
                             const MacAddress& mac);
// "nbtstat -a" when the node cannot be found or does not answer.
std::string hostNotFoundLayout(Ipv4Address local);

// "nbtstat -c": the names alive at `now` with their remaining lifetime, or the empty cache.
std::string remoteCacheLayout(Ipv4Address local, const std::vector<CachedName>& names,
                              std::int64_t now);

// "net view": the servers, in the order given, then the closing line; or the empty list.
std::string serverListLayout(const std::vector<std::string>& names);

struct ArpRow {
    Ipv4Address address;
    MacAddress mac{};
    bool dynamic = true;
};

struct ArpInterface {
    Ipv4Address address;
    int index = 0;
    std::vector<ArpRow> rows;
};

// "arp -a": one block per interface.
std::string arpLayout(const std::vector<ArpInterface>& interfaces);
// "arp -a" when the table holds no entry to show.
std::string noArpEntryLayout();

}  // namespace vt::adapters
