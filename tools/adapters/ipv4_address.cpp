#include "tools/adapters/ipv4_address.h"

#include "platform/wake_on_lan.h"

namespace vt::adapters {

std::optional<Ipv4Address> parseIpv4(std::string_view text) {
    const std::optional<std::uint32_t> value = platform::parseDottedIpv4(text);
    if (!value) {
        return std::nullopt;
    }
    return Ipv4Address{*value};
}

std::string toText(Ipv4Address address) {
    return platform::dottedIpv4(address.value);
}

std::optional<Ipv4Address> ipv4FromBytes(std::string_view bytes) {
    if (bytes.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char byte : bytes) {
        value = (value << 8) | static_cast<std::uint8_t>(byte);
    }
    return Ipv4Address{value};
}

bool isLoopback(Ipv4Address address) {
    return (address.value >> 24) == 127;
}

bool isMulticast(Ipv4Address address) {
    return (address.value >> 28) == 0xE;
}

Ipv4Address broadcastOf(Ipv4Address address, int prefixLength) {
    const std::uint32_t mask = prefixLength <= 0    ? 0
                               : prefixLength >= 32 ? 0xFFFFFFFFU
                                                    : ~(0xFFFFFFFFU >> prefixLength);
    return Ipv4Address{platform::directedBroadcast(address.value, mask)};
}

}  // namespace vt::adapters
