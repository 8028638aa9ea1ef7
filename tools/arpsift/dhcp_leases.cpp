#include "tools/arpsift/dhcp_leases.h"

#include <optional>
#include <string_view>

#include "platform/ascii_text.h"

namespace vt::arpsift {

namespace {

constexpr std::size_t kMinimumLines = 4;
constexpr std::string_view kLease = "lease";
constexpr std::string_view kEthernet = "ethernet";
constexpr std::string_view kHostname = "hostname";

bool holds(std::string_view line, std::string_view word) {
    return line.find(word) != std::string_view::npos;
}

// The first line from `from` up to, not including, `end` that holds the word.
std::optional<std::size_t> findLine(const std::vector<std::string>& lines, std::size_t from,
                                    std::size_t end, std::string_view word) {
    for (std::size_t i = from; i < end; ++i) {
        if (holds(lines[i], word)) {
            return i;
        }
    }
    return std::nullopt;
}

// "lease 10.0.0.30 {": the text between the word and the brace.
std::string leaseAddress(std::string_view line) {
    const std::size_t start = line.find(kLease) + kLease.size();
    const std::size_t brace = line.find('{', start);
    return platform::trim(line.substr(start, brace == std::string_view::npos ? 0 : brace - start));
}

// "hardware ethernet 00:1a:2b:3c:4d:5f;": the text between the word and the semicolon, or
// the end of the line when the semicolon is missing.
std::string ethernetAddress(std::string_view line) {
    const std::size_t start = line.find(kEthernet) + kEthernet.size();
    const std::size_t semicolon = line.find(';', start);
    return platform::trim(line.substr(
        start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
}

// "client-hostname "pc30";": the text between the first two double quotes.
std::string quotedName(std::string_view line) {
    const std::size_t open = line.find('"');
    const std::size_t close = open == std::string_view::npos ? open : line.find('"', open + 1);
    if (close == std::string_view::npos) {
        return std::string();
    }
    return platform::trim(line.substr(open + 1, close - open - 1));
}

}  // namespace

std::vector<LeaseRecord> leaseRecords(const std::vector<std::string>& lines) {
    std::vector<LeaseRecord> records;
    if (lines.size() < kMinimumLines) {
        return records;
    }
    // The closing line found for one block serves the blocks that open before it, so a file
    // whose braces never close is not searched to its end from every opening line.
    std::optional<std::size_t> close;
    std::size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        if (!holds(line, kLease) || !holds(line, "{")) {
            ++i;
            continue;
        }
        if (!close || *close <= i) {
            close = findLine(lines, i + 1, lines.size(), "}");
        }
        if (!close) {
            break;
        }
        const std::optional<std::size_t> ethernet = findLine(lines, i + 1, *close, kEthernet);
        const std::optional<std::size_t> hostname =
            ethernet ? findLine(lines, *ethernet + 1, *close, kHostname) : std::nullopt;
        if (!hostname) {
            i = *close + 1;
            continue;
        }
        records.push_back(LeaseRecord{leaseAddress(line), ethernetAddress(lines[*ethernet]),
                                      quotedName(lines[*hostname])});
        i = *hostname + 1;
    }
    return records;
}

}  // namespace vt::arpsift
