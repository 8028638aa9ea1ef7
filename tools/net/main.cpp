// vt_net: "net view" as the French-language Windows prints it: the machines of the local IPv4
// networks (loopback excepted) that run the file-server service. One wildcard name query is
// broadcast on each network; every node that answers before the answers pause for 300 ms
// (within a second at most) is asked for its node status, all at once; the nodes whose table holds
// a unique <20> name are listed by that name, in name order. Every name learned goes to the name
// cache that "nbtstat -c" prints.
//
// Exit codes: 0 the list (or "Il n'y a pas d'entrée dans la liste.") was printed; 2 another
// subcommand or a parameter; 3 no socket, no local network, or an unreadable address table.
// In the last two cases nothing is printed on standard output and one French line goes to
// standard error.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/native_platform.h"
#include "tools/adapters/adapter_program.h"
#include "tools/adapters/french_layouts.h"
#include "tools/adapters/interface_addresses.h"
#include "tools/adapters/name_cache.h"
#include "tools/adapters/name_service_client.h"
#include "tools/adapters/node_names.h"

namespace {

using namespace vt::adapters;

constexpr std::string_view kCommand = "net";

bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) <
               std::toupper(static_cast<unsigned char>(y));
    });
}

int viewServers(vt::platform::Platform& platform) {
    std::string error;
    const auto interfaces = readInterfaceAddresses(error);
    if (!interfaces) {
        return reportFailure(kCommand, error, kExitUnavailable);
    }
    const std::vector<Ipv4Address> broadcasts = localBroadcasts(*interfaces);
    if (broadcasts.empty()) {
        return reportFailure(kCommand, "aucun réseau IPv4 local (hors bouclage)", kExitUnavailable);
    }
    std::optional<NameServiceSocket> socket = NameServiceSocket::open(error);
    if (!socket) {
        return reportFailure(kCommand, error, kExitUnavailable);
    }
    const std::vector<Ipv4Address> responders = wildcardResponders(*socket, broadcasts);
    const std::vector<std::optional<NodeStatus>> statuses = queryNodeStatuses(*socket, responders);

    std::vector<std::string> servers;
    std::vector<CachedName> learned;
    for (std::size_t i = 0; i < responders.size(); ++i) {
        if (!statuses[i]) {
            continue;
        }
        const NodeNames names = namesOfNode(*statuses[i], responders[i]);
        if (!names.refused.empty()) {
            reportWarning(kCommand, refusedNamesMessage(names, responders[i]));
        }
        learned.insert(learned.end(), names.learned.begin(), names.learned.end());
        // A node with an address on two networks answers twice under one name.
        if (names.server &&
            std::find(servers.begin(), servers.end(), *names.server) == servers.end()) {
            servers.push_back(*names.server);
        }
    }
    if (!learned.empty() && !NameCache(platform.files).remember(learned, unixTimeNow(), error)) {
        reportWarning(kCommand, error);
    }
    std::sort(servers.begin(), servers.end(), lessNoCase);
    return printOutput(serverListLayout(servers), kExitDone);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = programArguments(argc, argv);
    if (arguments.empty()) {
        return reportFailure(kCommand,
                             "sous-commande manquante (seule « net view » est prise en charge)",
                             kExitUsage);
    }
    const std::string& subcommand = arguments[0];
    if (subcommand.size() != 4 || !vt::platform::endsWithNoCase(subcommand, "view")) {
        return reportFailure(kCommand, "sous-commande non prise en charge : " + arguments[0],
                             kExitUsage);
    }
    if (arguments.size() > 1) {
        return reportFailure(
            kCommand, "paramètre de « net view » non pris en charge : " + arguments[1], kExitUsage);
    }
    const auto native = vt::platform::createNativePlatform();
    return viewServers(native->platform());
}
