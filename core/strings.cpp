#include "core/strings.h"

#include <algorithm>
#include <limits>

#include "platform/hex_digits.h"

namespace vt {

namespace {

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Letters fold to upper case, as the comparisons of the string lists do, so that "_" sorts
// after "Z" the same way whatever the case of the letters around it.
char foldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string trimLeft(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isTrimmed(text[start])) {
        ++start;
    }
    return std::string(text.substr(start));
}

std::string trimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && isTrimmed(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(0, end));
}

std::string trim(std::string_view text) {
    return trimLeft(trimRight(text));
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
    std::string result(text);
    for (char& c : result) {
        c = foldCase(c);
    }
    return result;
}

std::string toLowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

int compareNoCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(foldCase(a[i]));
        const auto cb = static_cast<unsigned char>(foldCase(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); }));
}

std::string leftCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i])) {
            if (seen == count) {
                return std::string(text.substr(0, i));
            }
            ++seen;
        }
    }
    return std::string(text);
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
