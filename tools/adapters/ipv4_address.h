#pragma once

// IPv4 addresses as the adapters handle them: a number in host byte order, so that networks,
// broadcasts and sorting are plain arithmetic.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vt::adapters {

struct Ipv4Address {
    std::uint32_t value = 0;  // host byte order: 10.0.0.2 is 0x0A000002

    auto operator<=>(const Ipv4Address&) const = default;
};

// The dotted form "a.b.c.d" and nothing else (no shortened or octal forms, no blanks).
std::optional<Ipv4Address> parseIpv4(std::string_view text);
std::string toText(Ipv4Address address);
// Four bytes in network order, as the kernel's tables and the packets hold an address.
std::optional<Ipv4Address> ipv4FromBytes(std::string_view bytes);

// 127.0.0.0/8.
bool isLoopback(Ipv4Address address);
// 224.0.0.0/4.
bool isMulticast(Ipv4Address address);
// The directed broadcast of the network of `address` with a prefix of `prefixLength` bits.
Ipv4Address broadcastOf(Ipv4Address address, int prefixLength);

}  // namespace vt::adapters
