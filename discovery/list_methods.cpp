#include "discovery/list_methods.h"

#include "core/address_lists.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "discovery/group_filing.h"

namespace vt::discovery {

namespace {

constexpr const char* kMachineHeader = "Machine";

// The text after the first comma, at most 255 characters; without a comma, the first 255
// characters of the whole text.
std::string afterFirstComma(std::string_view text) {
    const std::size_t comma = text.find(',');
    return atMost255(comma == std::string_view::npos ? text : text.substr(comma + 1));
}

// The text of a list line before its first blank; empty when it has none.
std::string listedName(const std::string& line) {
    const std::size_t blank = line.find(' ');
    return blank == std::string::npos ? std::string() : line.substr(0, blank);
}

}  // namespace

std::optional<std::size_t> csvMachineColumn(std::string_view header) {
    std::string rest(header);
    for (std::size_t column = 0;; ++column) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string::npos) {
            return std::nullopt;
        }
        if (std::string_view(rest).substr(0, comma) == kMachineHeader) {
            return column;
        }
        rest = afterFirstComma(rest);
    }
}

std::string csvMachineName(std::string_view line, std::size_t column) {
    std::string rest(line);
    for (std::size_t i = 0; i < column; ++i) {
        rest = afterFirstComma(rest);
    }
    const std::size_t comma = rest.find(',');
    return comma == std::string::npos ? std::string() : rest.substr(0, comma);
}

void importCsv(const VtlVar& state, const Services& services, const std::string& path) {
    const std::vector<std::string> lines = loadTextLines(services.platform.files, path);
    if (lines.empty()) {
        return;
    }
    const std::optional<std::size_t> column = csvMachineColumn(lines.front());
    if (!column) {
        return;
    }
    services.console.appendLine("le champ machine est le " + std::to_string(*column));
    GroupFiling filing(state, services, DiscoveryMethod::Csv);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        filing.AssignToGroups(toLowerAscii(csvMachineName(lines[i], *column)));
    }
    filing.save();
    filing.reportSkippedNames("CSV");
}

bool passiveAnalysis(VtlVar& state, const Services& services) {
    platform::FileSystem& files = services.platform.files;
    if (!files.exists("liste.mac")) {
        return false;
    }
    state.MacList = loadTextLines(files, "liste.mac");
    if (!files.exists("liste.ip")) {
        return false;
    }
    state.IpList = loadTextLines(files, "liste.ip");
    // Lines learned while the cache tool held the lists stay known.
    noteAddressListsRead(state, files);

    GroupFiling filing(state, services, DiscoveryMethod::Passive);
    for (const std::string& line : state.MacList) {
        filing.AssignToGroups(listedName(line));
    }
    for (const std::string& line : state.IpList) {
        // An address line that names nothing is passed over without being counted.
        const std::string name = listedName(line);
        if (!name.empty()) {
            filing.AssignToGroups(name);
        }
    }
    filing.save();
    filing.reportSkippedNames("Détection passive");
    return true;
}

}  // namespace vt::discovery
