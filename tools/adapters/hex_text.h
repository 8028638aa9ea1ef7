#pragma once

// Hexadecimal numbers as the Windows commands print them.

#include <cstdint>
#include <string>

namespace vt::adapters {

enum class HexCase { Upper, Lower };

// Two digits: "0A".
std::string hexByte(std::uint8_t value, HexCase hexCase);
// As few digits as the value needs: "b", "1c".
std::string hexNumber(unsigned value, HexCase hexCase);

}  // namespace vt::adapters
