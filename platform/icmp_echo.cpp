#include "platform/icmp_echo.h"

namespace vt::platform {

std::vector<bool> echoAll(const std::vector<std::optional<std::uint32_t>>& addresses,
                          std::chrono::milliseconds timeout) {
    const std::unique_ptr<IcmpEcho> echo = openIcmpEcho();
    if (!echo) {
        return std::vector<bool>(addresses.size(), false);
    }
    return echo->echoAll(addresses, timeout);
}

}  // namespace vt::platform
