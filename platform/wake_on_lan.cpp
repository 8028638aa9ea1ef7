#include "platform/wake_on_lan.h"

#include "platform/hex_digits.h"

namespace vt::platform {

namespace {

// The byte written by the two hexadecimal digits at `at`, or nothing.
std::optional<std::uint8_t> hexByte(std::string_view text, std::size_t at) {
    const int high = hexDigitValue(text[at]);
    const int low = hexDigitValue(text[at + 1]);
    if (high < 0 || low < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(high * 16 + low);
}

}  // namespace

std::optional<MacAddress> parseMacAddress(std::string_view text) {
    std::size_t step = 0;
    if (text.size() == 12) {
        step = 2;
    } else if (text.size() == 17 && (text[2] == '-' || text[2] == ':')) {
        step = 3;
    } else {
        return std::nullopt;
    }
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::size_t at = i * step;
        if (step == 3 && i > 0 && text[at - 1] != text[2]) {
            return std::nullopt;
        }
        const std::optional<std::uint8_t> byte = hexByte(text, at);
        if (!byte) {
            return std::nullopt;
        }
        mac[i] = *byte;
    }
    return mac;
}

std::optional<std::uint32_t> parseDottedIpv4(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.') {
                return std::nullopt;
            }
            ++at;
        }
        std::uint32_t value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
            value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) {
            return std::nullopt;
        }
        address = (address << 8) | value;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return address;
}

std::optional<std::uint32_t> parseNetmask(std::string_view text) {
    const std::optional<std::uint32_t> mask = parseDottedIpv4(text);
    if (!mask) {
        return std::nullopt;
    }
    // Ones then zeros: the inverted mask plus one is a power of two (or zero for /0).
    const std::uint32_t hostBits = ~*mask;
    if ((hostBits & (hostBits + 1)) != 0) {
        return std::nullopt;
    }
    return mask;
}

std::string dottedIpv4(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string macAddressText(const MacAddress& mac) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i > 0) {
            text += '-';
        }
        text += kDigits[mac[i] >> 4];
        text += kDigits[mac[i] & 0x0F];
    }
    return text;
}

MagicPacket magicPacket(const MacAddress& mac) {
    MagicPacket packet{};
    for (std::size_t i = 0; i < 6; ++i) {
        packet[i] = 0xFF;
    }
    for (std::size_t i = 6; i < packet.size(); ++i) {
        packet[i] = mac[(i - 6) % mac.size()];
    }
    return packet;
}

}  // namespace vt::platform
