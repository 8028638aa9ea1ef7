#pragma once

// The fields of the lines the cache tool reads and writes. An address-list line is a machine
// name, one blank and a value ("pc07 10.0.0.17", "PC07 00-1A-2B-3C-4D-07"); a table line is
// an IP address, "=" and a value ("10.0.0.17=PC07").

#include <cstddef>
#include <string>
#include <string_view>

namespace vt::arpsift {

// Values are cut to this many characters when they are read from a line.
inline constexpr std::size_t kFieldLimit = 255;

// The text before the first blank; empty when the line has no blank.
std::string_view nameField(std::string_view line);
// The text after the first blank, or the whole line when it has none; at most 255 characters.
std::string_view valueField(std::string_view line);

// The text before the first "="; the whole line when it has none.
std::string_view tableKey(std::string_view line);
// The text after the first "=", at most 255 characters; empty when the line has none.
std::string tableValue(std::string_view line);

// The normal form of a MAC address: without blanks and control characters around it, ASCII
// letters in upper case, ":" turned into "-" ("00:0c:29:1a:2b:3c" gives "00-0C-29-1A-2B-3C").
std::string FormatMac(std::string_view text);

}  // namespace vt::arpsift
