#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tools/adapters/hex_text.h"

namespace vt::adapters {

using MacAddress = std::array<std::uint8_t, 6>;

// Six pairs of hexadecimal digits joined by "-", as Windows prints them.
std::string formatMac(const MacAddress& mac, HexCase hexCase);

bool isZero(const MacAddress& mac);

}  // namespace vt::adapters
