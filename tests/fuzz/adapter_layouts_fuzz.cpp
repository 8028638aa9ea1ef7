// What the adapters print from a node's answer is read back by the program and the cache
// tool: the bytes are the name table of a node status answer, whose names vt_nbtstat prints
// ("nbtstat -a"), caches ("nbtstat -c") and vt_net lists ("net view"), and the rows of an
// ARP table ("arp -a"). Every reader must find in those layouts the names and addresses that
// were printed, never a piece of a name or another machine's name.

#include <algorithm>

#include "discovery/netbios_output.h"
#include "fuzz_input.h"
#include "platform/ascii_text.h"
#include "platform/netbios_rows.h"
#include "tools/adapters/french_layouts.h"
#include "tools/adapters/name_service_packet.h"
#include "tools/adapters/node_names.h"
#include "tools/arpsift/cache_parsers.h"

namespace vt::adapters {
namespace {

constexpr Ipv4Address kNode{0x0A000011};   // 10.0.0.17
constexpr Ipv4Address kLocal{0x0A000002};  // 10.0.0.2
constexpr std::int64_t kNow = 1765190400;

std::vector<std::string> printedLines(const std::string& layout) {
    return platform::splitLines(platform::fromWindows1252(layout));
}

// A printed name as a reader of the layouts gives it back.
std::string readBack(const std::string& printed) {
    return platform::trim(platform::fromWindows1252(printed));
}

// The rows that the readers take for the machine's own names.
bool namesTheMachine(const NameTableRow& row) {
    return platform::namesTheMachine(platform::NetbiosRow{row.name, row.suffix, !row.group, {}});
}

void checkNodeStatus(const NodeNames& names, const MacAddress& mac) {
    const auto workstation = std::find_if(names.rows.begin(), names.rows.end(), [](auto& row) {
        return namesTheMachine(row) && row.suffix == kWorkstationSuffix;
    });
    const std::optional<std::string> expected =
        workstation == names.rows.end() ? std::nullopt
                                        : std::optional<std::string>(readBack(workstation->name));
    const std::vector<std::string> lines = printedLines(nodeStatusLayout(kLocal, names.rows, mac));

    fuzz::require(arpsift::statusMachineName(lines) == expected,
                  "l'outil de cache lit le nom <00> que nbtstat -a a imprimé");
    const std::optional<discovery::NbtstatAnswer> answer = discovery::readNbtstat(lines);
    fuzz::require(answer.has_value() == (expected && !expected->empty()),
                  "la découverte lit une réponse de nbtstat -a qui a un nom <00>");
    if (answer) {
        fuzz::require(answer->name == *expected && answer->address == toText(kLocal) &&
                          answer->mac == formatMac(mac, MacCase::Upper),
                      "la découverte lit le nom, l'adresse et la MAC imprimés par nbtstat -a");
    }
}

void checkNameCache(const NodeNames& names) {
    std::vector<CachedName> learned = names.learned;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < learned.size(); ++i) {
        learned[i].expiresAt = kNow + kNameLifetimeSeconds;
        if (namesTheMachine(names.rows[i])) {
            expected.push_back(toText(learned[i].address) + "=" + readBack(learned[i].name));
        }
    }
    fuzz::require(arpsift::nameCacheEntries(
                      printedLines(remoteCacheLayout(kLocal, learned, kNow))) == expected,
                  "l'outil de cache lit chaque nom de machine que nbtstat -c a imprimé");
}

void checkServerList(const NodeNames& names) {
    if (!names.server) {
        return;
    }
    const discovery::NetViewListing listing =
        discovery::readNetView(printedLines(serverListLayout({*names.server})));
    fuzz::require(listing.names.size() == 1 && (listing.names.front() == readBack(*names.server) ||
                                                listing.names.front().empty()),
                  "la découverte lit le nom du serveur que net view a imprimé, ou rien");
}

// Eleven bytes a row: the address, the MAC address and whether the entry is dynamic.
void checkArpTable(std::string_view bytes) {
    constexpr std::size_t kRowBytes = 11;
    ArpInterface table{kLocal, 0x3, {}};
    std::vector<std::string> expected;
    for (std::size_t at = 0; at + kRowBytes <= bytes.size(); at += kRowBytes) {
        ArpRow row;
        row.address = *ipv4FromBytes(bytes.substr(at, 4));
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + 4), row.mac.size(),
                    row.mac.begin());
        row.dynamic = (bytes[at + 10] & 1) != 0;
        if (row.dynamic) {
            expected.push_back(toText(row.address) + "=" + formatMac(row.mac, MacCase::Upper));
        }
        table.rows.push_back(row);
    }
    fuzz::require(arpsift::arpCacheEntries(printedLines(arpLayout({table}))) == expected,
                  "l'outil de cache lit chaque entrée dynamique que arp -a a imprimée");
}

}  // namespace
}  // namespace vt::adapters

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::adapters;
    const std::string_view bytes = vt::fuzz::bytesOf(data, size);
    if (const std::optional<NodeStatus> status = decodeNodeStatus(bytes)) {
        const NodeNames names = namesOfNode(*status, kNode);
        checkNodeStatus(names, status->unitId.value_or(MacAddress{}));
        checkNameCache(names);
        checkServerList(names);
    }
    checkArpTable(bytes);
    return 0;
}
