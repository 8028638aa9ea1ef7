#include "platform/ascii_text.h"

#include <algorithm>

namespace vt::platform {

namespace {

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Where the text starts and ends once its leading or trailing blanks are left out.
std::size_t keptStart(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isTrimmed(text[start])) {
        ++start;
    }
    return start;
}

std::size_t keptEnd(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && isTrimmed(text[end - 1])) {
        --end;
    }
    return end;
}

}  // namespace

std::string trimLeft(std::string_view text) {
    return std::string(text.substr(keptStart(text)));
}

std::string trimRight(std::string_view text) {
    return std::string(text.substr(0, keptEnd(text)));
}

std::string trim(std::string_view text) {
    return std::string(trimView(text));
}

std::string_view trimView(std::string_view text) {
    const std::size_t end = keptEnd(text);
    const std::size_t start = keptStart(text.substr(0, end));
    return text.substr(start, end - start);
}

std::string toUpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = upperAscii(c);
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
        const auto ca = static_cast<unsigned char>(upperAscii(a[i]));
        const auto cb = static_cast<unsigned char>(upperAscii(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); }));
}

std::string leftCharacters(std::string_view text, std::size_t count) {
    return std::string(leftCharacterView(text, count));
}

std::string_view leftCharacterView(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i])) {
            if (seen == count) {
                return text.substr(0, i);
            }
            ++seen;
        }
    }
    return text;
}

std::optional<std::uint32_t> parseDecimal(std::string_view text, std::uint32_t maximum) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > maximum) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace vt::platform
