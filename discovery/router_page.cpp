#include "discovery/router_page.h"

#include "core/strings.h"
#include "platform/ascii_text.h"

namespace vt::discovery {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The first line from `from` on that holds the text.
std::size_t findLine(const std::vector<std::string>& lines, std::size_t from,
                     std::string_view text) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos) {
            return i;
        }
    }
    return kNone;
}

}  // namespace

std::string cellText(const std::string& line) {
    const std::size_t open = line.find('>');
    const std::string_view content = platform::leftCharacterView(
        open == std::string::npos ? std::string_view(line)
                                  : std::string_view(line).substr(open + 1),
        kShortTextLimit);
    return std::string(platform::trimView(content.substr(0, content.find('<'))));
}

std::optional<std::vector<RouterLease>> readRouterPage(const std::vector<std::string>& lines) {
    const std::size_t title = findLine(lines, 0, "Baux dhcp");
    const std::size_t mac = title == kNone ? kNone : findLine(lines, title, "MAC");
    const std::size_t header = mac == kNone ? kNone : findLine(lines, mac, "</tr");
    if (header == kNone) {
        return std::nullopt;
    }
    std::vector<RouterLease> leases;
    std::size_t current = header;
    while (current < lines.size()) {
        const std::size_t row = findLine(lines, current, "<tr");
        const std::size_t firstCell = row == kNone ? kNone : findLine(lines, row, "<td");
        const std::size_t ipCell =
            firstCell == kNone ? kNone : findLine(lines, firstCell + 1, "<td");
        // The name and the MAC address are on the two lines that follow the address.
        if (ipCell == kNone || ipCell + 2 >= lines.size()) {
            break;
        }
        leases.push_back(RouterLease{cellText(lines[ipCell]), cellText(lines[ipCell + 1]),
                                     cellText(lines[ipCell + 2])});
        // The row ends at its "</tr"; the next row starts at a "<tr", the table at "</table".
        std::size_t next = findLine(lines, ipCell + 3, "</tr");
        current = lines.size();
        for (; next != kNone && next < lines.size(); ++next) {
            if (lines[next].find("<tr") != std::string::npos) {
                current = next;
                break;
            }
            if (lines[next].find("</table") != std::string::npos) {
                break;
            }
        }
    }
    return leases;
}

}  // namespace vt::discovery
