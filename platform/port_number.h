#pragma once

// TCP and UDP port numbers as the tools take them on their command lines.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vt::platform {

// A port written in decimal digits only, from 1 to 65535; nothing for anything else.
std::optional<std::uint16_t> parsePortNumber(std::string_view text);

}  // namespace vt::platform
