#include "tools/adapters/name_resolution.h"

#include <arpa/inet.h>

#include "platform/text_codec.h"
#include "tools/adapters/node_names.h"

namespace vt::adapters {

std::optional<Ipv4Address> resolveHost(std::string_view name, const platform::Network& network,
                                       NameServiceSocket& socket,
                                       const std::vector<Ipv4Address>& broadcasts,
                                       QueryTiming timing) {
    if (const auto address = parseIpv4(name)) {
        return address;
    }
    if (const auto resolved = network.resolveIpv4(name)) {
        return Ipv4Address{ntohl(*resolved)};
    }
    const std::string netbiosName = platform::toWindows1252(name);
    if (netbiosName.size() > kNetbiosNameLength || broadcasts.empty()) {
        return std::nullopt;
    }
    return queryNameByBroadcast(socket, NetbiosName{netbiosName, kWorkstationSuffix}, broadcasts,
                                timing);
}

}  // namespace vt::adapters
