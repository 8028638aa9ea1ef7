#pragma once

// The small text helpers that the program and its console tools share (the tools link the
// platform layer only). Texts are UTF-8; "characters" are code points, as the Windows-1252
// characters they stand for on disk.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vt::platform {

// Removes leading and trailing blanks and control characters (code units up to 0x20).
std::string trim(std::string_view text);
std::string_view trimView(std::string_view text);
std::string trimLeft(std::string_view text);
std::string trimRight(std::string_view text);

constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string toUpperAscii(std::string_view text);
std::string toLowerAscii(std::string_view text);
// <0, 0, >0 like strcmp, ASCII letters folded to upper case, as the string lists of the
// system compare them ("_" sorts after "Z" whatever the case of the letters around it).
int compareNoCase(std::string_view a, std::string_view b);

// Number of characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view text);
// The first `count` characters of a text.
std::string leftCharacters(std::string_view text, std::size_t count);
std::string_view leftCharacterView(std::string_view text, std::size_t count);

// A text made of decimal digits only, at most `maximum`; nothing for an empty text, any other
// character or a larger value.
std::optional<std::uint32_t> parseDecimal(std::string_view text, std::uint32_t maximum);

}  // namespace vt::platform
