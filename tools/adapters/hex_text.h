#pragma once

// Hexadecimal numbers as the Windows commands print them.

#include <cstdint>
#include <string>

namespace vt::adapters {

// Two upper-case digits, as in a name's suffix: "1E".
std::string hexByte(std::uint8_t value);
// As few lower-case digits as the value needs, as in an interface index: "b", "1c".
std::string hexNumber(unsigned value);

}  // namespace vt::adapters
