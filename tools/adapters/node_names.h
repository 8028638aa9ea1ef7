#pragma once

// What a node status answer gives the adapters: the rows of the name table to print, the
// names to keep in the name cache, and the file-server name that makes the node a server.
// A name that holds a metacharacter could end up in a batch line of the system: it is left
// out everywhere and reported.

#include <optional>
#include <string>
#include <vector>

#include "tools/adapters/french_layouts.h"
#include "tools/adapters/name_cache.h"
#include "tools/adapters/name_service_packet.h"

namespace vt::adapters {

inline constexpr std::uint8_t kWorkstationSuffix = 0x00;
inline constexpr std::uint8_t kFileServerSuffix = 0x20;

struct NodeNames {
    std::vector<NameTableRow> rows;     // in the node's order
    std::vector<CachedName> learned;    // the same names, to be cached (expiry not yet set)
    std::vector<std::string> refused;   // the names left out, as printed
    std::optional<std::string> server;  // the unique <20> name
};

NodeNames namesOfNode(const NodeStatus& status, Ipv4Address address);

// The warning that tells which names of a node were left out.
std::string refusedNamesMessage(const NodeNames& names, Ipv4Address address);

}  // namespace vt::adapters
