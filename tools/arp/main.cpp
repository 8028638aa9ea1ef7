// vt_arp: "arp -a" as the French-language Windows prints it, from the kernel's IPv4 neighbour
// table: one block per interface, in the order of the interfaces' indexes, entries in address
// order. Reachable, stale, delay and probe entries are "dynamique"; permanent entries and the
// broadcast and multicast addresses "statique"; failed and incomplete entries are left out,
// and so are the loopback interfaces. With nothing to show: "Aucune entrée ARP trouvée.".
//
// arp -a [ADRESSE] [-N INTERFACE]  ("-g" is the same as "-a"): only the entry of ADRESSE, only
// the block of the interface whose address is INTERFACE.
//
// Exit codes: 0 the table (or the line that says it is empty) was printed; 2 another option or
// a bad address; 3 a kernel table that cannot be read. In the last two cases nothing is printed
// on standard output and one French line goes to standard error.

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/adapters/adapter_program.h"
#include "tools/adapters/french_layouts.h"
#include "tools/adapters/interface_addresses.h"
#include "tools/adapters/neighbour_table.h"

namespace {

using namespace vt::adapters;

constexpr std::string_view kCommand = "arp";
constexpr std::string_view kUsage = "usage : arp -a [ADRESSE] [-N INTERFACE]";

struct Filter {
    std::optional<Ipv4Address> address;
    std::optional<Ipv4Address> interfaceAddress;
};

bool isSwitch(const std::string& argument, char letter) {
    return argument.size() == 2 && (argument[0] == '-' || argument[0] == '/') &&
           argument[1] == letter;
}

// Reads the arguments after "-a"; nothing, after the failure line, when they are wrong.
std::optional<Filter> readFilter(const std::vector<std::string>& arguments) {
    Filter filter;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::optional<Ipv4Address>* slot = &filter.address;
        if (isSwitch(arguments[i], 'N') || isSwitch(arguments[i], 'n')) {
            slot = &filter.interfaceAddress;
            ++i;
        }
        if (i >= arguments.size() || slot->has_value()) {
            reportFailure(kCommand, kUsage, kExitUsage);
            return std::nullopt;
        }
        *slot = parseIpv4(arguments[i]);
        if (!slot->has_value()) {
            reportFailure(kCommand, "adresse IP invalide : " + arguments[i], kExitUsage);
            return std::nullopt;
        }
    }
    return filter;
}

std::vector<ArpInterface> blocksOf(const std::vector<InterfaceAddress>& addresses,
                                   const std::vector<NeighbourEntry>& table, const Filter& filter) {
    std::map<int, std::vector<const InterfaceAddress*>> interfaces;
    for (const InterfaceAddress& entry : addresses) {
        if (!entry.loopback) {
            interfaces[entry.interfaceIndex].push_back(&entry);
        }
    }
    std::vector<ArpInterface> blocks;
    for (const auto& [index, own] : interfaces) {
        const Ipv4Address shown = own.front()->address;
        if (filter.interfaceAddress && *filter.interfaceAddress != shown) {
            continue;
        }
        ArpInterface block{shown, index, {}};
        for (const NeighbourEntry& entry : table) {
            if (entry.interfaceIndex != index ||
                (filter.address && *filter.address != entry.address)) {
                continue;
            }
            const bool broadcast = std::any_of(own.begin(), own.end(), [&](const auto* local) {
                return local->prefixLength < 31 && local->broadcast() == entry.address;
            });
            const NeighbourKind kind = neighbourKind(entry, broadcast);
            if (kind != NeighbourKind::Unusable) {
                block.rows.push_back(
                    ArpRow{entry.address, *entry.mac, kind == NeighbourKind::Dynamic});
            }
        }
        std::sort(block.rows.begin(), block.rows.end(),
                  [](const ArpRow& a, const ArpRow& b) { return a.address < b.address; });
        if (!block.rows.empty()) {
            blocks.push_back(std::move(block));
        }
    }
    return blocks;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = programArguments(argc, argv);
    if (arguments.empty()) {
        return reportFailure(kCommand, kUsage, kExitUsage);
    }
    if (!isSwitch(arguments[0], 'a') && !isSwitch(arguments[0], 'g')) {
        return reportFailure(kCommand, "option non prise en charge : " + arguments[0], kExitUsage);
    }
    const std::optional<Filter> filter = readFilter(arguments);
    if (!filter) {
        return kExitUsage;
    }
    std::string error;
    const auto addresses = readInterfaceAddresses(error);
    const auto table = addresses ? readNeighbourTable(error) : std::nullopt;
    if (!table) {
        return reportFailure(kCommand, error, kExitUnavailable);
    }
    const std::vector<ArpInterface> blocks = blocksOf(*addresses, *table, *filter);
    return printOutput(blocks.empty() ? noArpEntryLayout() : arpLayout(blocks), kExitDone);
}
