#include "tools/arpsift/cache_parsers.h"

#include <string_view>

#include "platform/ascii_text.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

constexpr std::string_view kUniqueName = "UNIQUE";
constexpr std::string_view kDynamicEntry = "dynamique";

// The name of a NetBIOS table line: the text before the "<" of its suffix, empty when the
// line has none.
std::string netbiosName(std::string_view line) {
    const std::size_t suffix = line.find('<');
    return platform::trim(suffix == std::string_view::npos ? std::string_view()
                                                           : line.substr(0, suffix));
}

// The text from the first blank on, at most 255 characters, trimmed.
std::string afterFirstWord(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) {
        return std::string();
    }
    return platform::trim(platform::leftCharacters(text.substr(blank), kFieldLimit));
}

}  // namespace

std::vector<std::string> nameCacheEntries(const std::vector<std::string>& lines) {
    std::vector<std::string> entries;
    for (const std::string& line : lines) {
        const std::size_t unique = line.find(kUniqueName);
        if (unique == std::string::npos) {
            continue;
        }
        const std::string rest = platform::trim(platform::leftCharacters(
            std::string_view(line).substr(unique + kUniqueName.size()), kFieldLimit));
        const std::string ip = platform::trim(nameField(rest));
        entries.push_back(ip + "=" + netbiosName(line));
    }
    return entries;
}

std::vector<std::string> arpCacheEntries(const std::vector<std::string>& lines) {
    std::vector<std::string> entries;
    for (const std::string& line : lines) {
        if (line.find(kDynamicEntry) == std::string::npos) {
            continue;
        }
        const std::string entry = platform::trim(line);
        const std::string mac = FormatMac(nameField(afterFirstWord(entry)));
        entries.push_back(std::string(nameField(entry)) + "=" + mac);
    }
    return entries;
}

std::optional<std::string> firstUniqueName(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.find(kUniqueName) != std::string::npos) {
            return netbiosName(line);
        }
    }
    return std::nullopt;
}

}  // namespace vt::arpsift
