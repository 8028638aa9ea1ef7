#include "discovery/netbios_output.h"

#include "core/strings.h"
#include "platform/netbios_rows.h"

namespace vt::discovery {

namespace {

bool isMachineLine(const std::string& line) {
    return !line.empty() && line.front() == '\\';
}

// Where the remark column starts, in characters: at the header's last word ("Remarque"),
// which a run of blanks sets apart from the first ("Nom du serveur"). Nothing when the header
// has none. The command pads its columns one byte a character, so a column counts
// characters of the text read, whose accented letters take more than one byte.
std::optional<std::size_t> remarkColumn(const std::string& header) {
    const std::size_t end = header.find_last_not_of(' ');
    const std::size_t lastWord = end == std::string::npos ? end : header.find_last_of(' ', end);
    if (lastWord == std::string::npos || lastWord < 2 || header[lastWord - 1] != ' ' ||
        header.find_first_not_of(' ') > lastWord) {
        return std::nullopt;
    }
    return characterCount(std::string_view(header).substr(0, lastWord + 1));
}

// The name of a machine line: the text after the two backslashes up to the first blank. A
// name column whose text holds a blank before the remark column gives that whole text: a
// machine calls itself so, and the name is refused whole, rather than taken for another.
std::string machineName(const std::string& line, std::optional<std::size_t> remarks) {
    constexpr std::size_t kNameStart = 2;  // after the two backslashes
    if (line.size() <= kNameStart) {
        return std::string();
    }
    if (remarks && *remarks > kNameStart) {
        const std::string column =
            trim(leftCharacters(std::string_view(line).substr(kNameStart), *remarks - kNameStart));
        if (!column.empty() && column.find(' ') != std::string::npos) {
            return column;
        }
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
    const std::optional<std::size_t> remarks =
        lines.empty() ? std::nullopt : remarkColumn(lines.front());
    for (; i < lines.size() && isMachineLine(lines[i]); ++i) {
        listing.names.push_back(machineName(lines[i], remarks));
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

    const std::optional<std::size_t> nameLine = platform::findMachineRow(lines, 1, last + 1);
    if (!nameLine) {
        return std::nullopt;
    }
    answer.name = platform::readNetbiosRow(lines[*nameLine])->name;

    std::size_t macLine = *nameLine + 1;
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
