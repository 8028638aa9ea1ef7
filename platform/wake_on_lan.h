#pragma once

// The Wake-on-LAN magic packet and its sending by UDP to a directed broadcast.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vt::platform {

using MacAddress = std::array<std::uint8_t, 6>;
// Six bytes 0xFF, then the MAC address sixteen times.
using MagicPacket = std::array<std::uint8_t, 102>;

inline constexpr std::uint16_t kWakeOnLanPort = 9;

// Twelve hexadecimal digits, either all together or in six pairs joined by one and the same
// separator, "-" or ":". Nothing for any other text.
std::optional<MacAddress> parseMacAddress(std::string_view text);
// A dotted IPv4 address of four decimal numbers from 0 to 255, in host byte order.
std::optional<std::uint32_t> parseDottedIpv4(std::string_view text);
// A dotted network mask: ones followed by zeros only.
std::optional<std::uint32_t> parseNetmask(std::string_view text);
std::string dottedIpv4(std::uint32_t address);
std::string macAddressText(const MacAddress& mac);  // "00-11-22-AA-BB-CC"

// The address that reaches every host of the address's network: its host bits all set.
constexpr std::uint32_t directedBroadcast(std::uint32_t address, std::uint32_t mask) {
    return address | ~mask;
}

MagicPacket magicPacket(const MacAddress& mac);

struct SendResult {
    bool sent = false;
    std::string error;  // why it was not sent, in French
};

// Sends the magic packet of the MAC address by UDP to the address (host byte order) and
// port, broadcasting allowed.
SendResult sendMagicPacket(const MacAddress& mac, std::uint32_t address, std::uint16_t port);

}  // namespace vt::platform
