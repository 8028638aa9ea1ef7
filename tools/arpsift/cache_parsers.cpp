#include "tools/arpsift/cache_parsers.h"

#include <string_view>

#include "platform/ascii_text.h"
#include "platform/netbios_rows.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

constexpr std::string_view kDynamicEntry = "dynamique";

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
        const std::optional<platform::NetbiosRow> row = platform::readNetbiosRow(line);
        if (row && platform::namesTheMachine(*row)) {
            entries.push_back(platform::trim(nameField(row->rest)) + "=" + row->name);
        }
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

std::optional<std::string> statusMachineName(const std::vector<std::string>& lines) {
    const std::optional<std::size_t> found = platform::findMachineRow(lines, 0, lines.size());
    if (!found) {
        return std::nullopt;
    }
    return platform::readNetbiosRow(lines[*found])->name;
}

}  // namespace vt::arpsift
