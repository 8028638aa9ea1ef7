#pragma once

// The address of a host named on the command line of "nbtstat -a".

#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "tools/adapters/ipv4_address.h"
#include "tools/adapters/name_service_client.h"

namespace vt::adapters {

// A dotted address as it is; else what the system's resolver finds (hosts file, DNS); else,
// for a name that fits a NetBIOS name (15 characters at most), the answer to a name query for
// NAME<00> broadcast on the local networks. `name` is UTF-8; the NetBIOS query carries it in
// Windows-1252.
std::optional<Ipv4Address> resolveHost(std::string_view name, const platform::Network& network,
                                       NameServiceSocket& socket,
                                       const std::vector<Ipv4Address>& broadcasts,
                                       QueryTiming timing = {});

}  // namespace vt::adapters
