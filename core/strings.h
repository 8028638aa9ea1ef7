#pragma once

// The one set of small string helpers of the system. Texts are UTF-8 in memory; "characters"
// are code points, as the Windows-1252 characters they stand for on disk.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt {

// Removes leading and trailing blanks and control characters (code units up to 0x20).
std::string trim(std::string_view text);
std::string trimLeft(std::string_view text);
std::string trimRight(std::string_view text);

// True when the text holds a control character (below 0x20, or DEL).
bool holdsControlCharacter(std::string_view text);

std::string toUpperAscii(std::string_view text);
std::string toLowerAscii(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
// Hash and equality of texts without regard to ASCII case, for hashed sets and maps of names.
struct NoCaseHash {
    std::size_t operator()(std::string_view text) const;
};
struct NoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return equalsNoCase(a, b); }
};
bool startsWithNoCase(std::string_view text, std::string_view prefix);
// <0, 0, >0 like strcmp, ASCII letters compared without regard to case.
int compareNoCase(std::string_view a, std::string_view b);

// Number of characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view text);
// The first `count` characters of a text: the "at most 255 characters" copies.
std::string leftCharacters(std::string_view text, std::size_t count);
inline constexpr std::size_t kShortTextLimit = 255;
inline std::string atMost255(std::string_view text) {
    return leftCharacters(text, kShortTextLimit);
}

// The text before the first occurrence of `separator`, and the text after it; when the
// separator is missing, `before` is the whole text and `found` is false.
struct SplitResult {
    std::string before;
    std::string after;
    bool found = false;
};
SplitResult splitAtFirst(std::string_view text, std::string_view separator);

// The integer conversion of the preferences file: leading blanks, an optional sign, decimal
// digits, or hexadecimal after "$", "x", "X", "0x" or "0X"; nothing after the number, and
// the value must fit in 32 bits. Nothing when the text does not parse.
std::optional<std::int32_t> parseVtlInt(std::string_view text);

// The value of the decimal digits at the start of the text; 0 when it begins with none (a
// sign, "$" or "0x" stop the digits too). Values past 32 bits stay at the 32-bit maximum.
std::int32_t leadingDigitsValue(std::string_view text);

// A decimal number as a French user types it: a comma or a point before the decimals,
// blanks around it; nothing for any other text, a negative number or one without digits.
std::optional<double> parseFrenchDecimal(std::string_view text);
// The number rounded to `decimals` places with a decimal comma ("0,25").
std::string frenchDecimal(double value, int decimals);
// The same up to four places, without the zeros at the end ("0,25", "60").
std::string shortFrenchDecimal(double value);

// An ordered list kept sorted without regard to case that ignores a line already present
// (compared without regard to case). Serves the group buffers and the exclusion list.
class SortedNoCaseList {
public:
    SortedNoCaseList() = default;
    explicit SortedNoCaseList(const std::vector<std::string>& lines);

    // False when an equal line (without regard to case) is already present.
    bool add(std::string_view line);
    bool contains(std::string_view line) const;
    void clear() { m_lines.clear(); }
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
};

}  // namespace vt
