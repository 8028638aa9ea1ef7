#include "tools/adapters/ipv4_address.h"

namespace vt::adapters {

std::optional<Ipv4Address> parseIpv4(std::string_view text) {
    std::uint32_t value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        std::uint32_t part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
            part = part * 10 + static_cast<std::uint32_t>(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || part > 255) {
            return std::nullopt;
        }
        value = (value << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') {
                return std::nullopt;
            }
            ++i;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return Ipv4Address{value};
}

std::string toText(Ipv4Address address) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((address.value >> shift) & 0xFF);
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
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
    if (prefixLength <= 0) {
        return Ipv4Address{0xFFFFFFFFU};
    }
    if (prefixLength >= 32) {
        return address;
    }
    const std::uint32_t hostBits = 0xFFFFFFFFU >> prefixLength;
    return Ipv4Address{address.value | hostBits};
}

}  // namespace vt::adapters
