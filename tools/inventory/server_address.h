#pragma once

// The inventory server as the preferences give it: "host" or "host:port", the host a name,
// a dotted address, or an IPv6 address (bracketed when a port follows).

#include <optional>
#include <string>
#include <string_view>

namespace vt::inventory {

inline constexpr unsigned kDefaultDatabasePort = 3306;

struct ServerAddress {
    std::string host;
    unsigned port = kDefaultDatabasePort;
};

// Nothing when the text has no host or its port is not a number from 1 to 65535.
std::optional<ServerAddress> parseServerAddress(std::string_view text);

}  // namespace vt::inventory
