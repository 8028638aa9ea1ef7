#include "core/strings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <charconv>
#include <limits>

#include "platform/ascii_text.h"
#include "platform/hex_digits.h"

namespace vt {

// One implementation serves the program and the console tools, which link the platform
// layer only.
std::string trim(std::string_view text) {
    return platform::trim(text);
}

std::string trimLeft(std::string_view text) {
    return platform::trimLeft(text);
}

std::string trimRight(std::string_view text) {
    return platform::trimRight(text);
}

bool holdsControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            return true;
        }
    }
    return false;
}

std::string toUpperAscii(std::string_view text) {
    return platform::toUpperAscii(text);
}

std::string toLowerAscii(std::string_view text) {
    return platform::toLowerAscii(text);
}

int compareNoCase(std::string_view a, std::string_view b) {
    return platform::compareNoCase(a, b);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

std::size_t NoCaseHash::operator()(std::string_view text) const {
    // FNV-1a over the lower-case letters.
    std::size_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        hash = (hash ^ static_cast<unsigned char>(lower)) * 1099511628211ULL;
    }
    return hash;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t characterCount(std::string_view text) {
    return platform::characterCount(text);
}

std::string leftCharacters(std::string_view text, std::size_t count) {
    return platform::leftCharacters(text, count);
}

SplitResult splitAtFirst(std::string_view text, std::string_view separator) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) {
        return SplitResult{std::string(text), std::string(), false};
    }
    return SplitResult{std::string(text.substr(0, at)),
                       std::string(text.substr(at + separator.size())), true};
}

std::optional<std::int32_t> parseVtlInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) {
        return std::nullopt;
    }

    // Hexadecimal stands for the 32-bit pattern ("$FFFFFFFF" is -1); decimal must fit the
    // signed range.
    const std::uint64_t limit =
        hex ? 0xFFFFFFFFull
            : static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) +
                  (negative ? 1 : 0);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? platform::hexDigitValue(text[i])
                              : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit) {
            return std::nullopt;
        }
    }
    auto pattern = static_cast<std::uint32_t>(value);
    if (negative) {
        pattern = 0u - pattern;
    }
    return static_cast<std::int32_t>(pattern);
}

std::optional<double> parseFrenchDecimal(std::string_view text) {
    std::string number = trim(text);
    std::replace(number.begin(), number.end(), ',', '.');
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const bool digitsOnly = std::count(number.begin(), number.end(), '.') <= 1 &&
                            std::any_of(number.begin(), number.end(), isDigit) &&
                            std::all_of(number.begin(), number.end(),
                                        [&](char c) { return c == '.' || isDigit(c); });
    if (!digitsOnly) {
        return std::nullopt;
    }
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

std::string frenchDecimal(double value, int decimals) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    std::string result = text.data();
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

std::string shortFrenchDecimal(double value) {
    std::string text = frenchDecimal(value, 4);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == ',') {
        text.pop_back();
    }
    return text;
}

std::int32_t leadingDigitsValue(std::string_view text) {
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<std::int32_t>(value);
}

SortedNoCaseList::SortedNoCaseList(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        add(line);
    }
}

bool SortedNoCaseList::add(std::string_view line) {
    const auto at = std::lower_bound(m_lines.begin(), m_lines.end(), line,
                                     [](const std::string& element, std::string_view value) {
                                         return compareNoCase(element, value) < 0;
                                     });
    if (at != m_lines.end() && compareNoCase(*at, line) == 0) {
        return false;
    }
    m_lines.insert(at, std::string(line));
    return true;
}

bool SortedNoCaseList::contains(std::string_view line) const {
    const auto at = std::lower_bound(m_lines.begin(), m_lines.end(), line,
                                     [](const std::string& element, std::string_view value) {
                                         return compareNoCase(element, value) < 0;
                                     });
    return at != m_lines.end() && compareNoCase(*at, line) == 0;
}

}  // namespace vt
