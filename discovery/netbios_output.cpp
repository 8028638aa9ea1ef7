#include "discovery/netbios_output.h"

#include "core/strings.h"

namespace vt::discovery {

namespace {

bool isMachineLine(const std::string& line) {
    return !line.empty() && line.front() == '\\';
}

std::string machineName(const std::string& line) {
    constexpr std::size_t kNameStart = 2;  // after the two backslashes
    if (line.size() <= kNameStart) {
        return std::string();
    }
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) {
        return line.substr(kNameStart);
    }
    return blank > kNameStart ? line.substr(kNameStart, blank - kNameStart) : std::string();
}

// The text between the first "[" and the first "]"; empty when they do not enclose one.
std::string bracketed(const std::string& line) {
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return std::string();
    }
    return trim(std::string_view(line).substr(open + 1, close - open - 1));
}

// A <00> name whose type is a group name (the workgroup, the domain).
bool isGroupName(const std::string& line, std::size_t suffix) {
    return startsWithNoCase(trimLeft(std::string_view(line).substr(suffix + 4)), "GROUP");
}

}  // namespace

NetViewListing readNetView(const std::vector<std::string>& lines) {
    NetViewListing listing;
    std::size_t i = 1;
    for (; i < lines.size(); ++i) {
        listing.headerLines.push_back(lines[i]);
        if (isMachineLine(lines[i])) {
            break;
        }
    }
    for (; i < lines.size() && isMachineLine(lines[i]); ++i) {
        listing.names.push_back(machineName(lines[i]));
    }
    return listing;
}

std::optional<NbtstatAnswer> readNbtstat(const std::vector<std::string>& lines) {
    // The first and the last line are never looked at.
    if (lines.size() < 3) {
        return std::nullopt;
    }
    const std::size_t last = lines.size() - 2;
    NbtstatAnswer answer;

    std::size_t i = 1;
    while (i <= last && lines[i].find("IP") == std::string::npos) {
        ++i;
    }
    if (i > last) {
        return std::nullopt;
    }
    answer.address = bracketed(lines[i]);

    std::size_t nameLine = 1;
    for (; nameLine <= last; ++nameLine) {
        const std::size_t suffix = lines[nameLine].find("<00>");
        if (suffix != std::string::npos && !isGroupName(lines[nameLine], suffix)) {
            break;
        }
    }
    if (nameLine > last) {
        return std::nullopt;
    }
    const std::string& named = lines[nameLine];
    answer.name = trim(std::string_view(named).substr(0, named.find('<')));

    std::size_t macLine = nameLine + 1;
    while (macLine <= last && lines[macLine].find('=') == std::string::npos) {
        ++macLine;
    }
    if (macLine > last) {
        return std::nullopt;
    }
    const std::string& mac = lines[macLine];
    const std::size_t valueStart = mac.find('=') + 2;
    answer.mac = valueStart < mac.size() ? atMost255(std::string_view(mac).substr(valueStart))
                                         : std::string();
    if (answer.name.empty() || answer.mac.empty()) {
        return std::nullopt;
    }
    return answer;
}

}  // namespace vt::discovery
