// vt_nbtstat: "nbtstat -a NAME", "nbtstat -A ADDRESS" and "nbtstat -c" as the French-language
// Windows prints them, for the batch lines the system writes. See tools/adapters for the name
// service, the name cache and the layouts.
//
// -a NAME     node status of a host named or addressed (a dotted address is used as it is)
// -A ADDRESS  node status of a dotted address
// -c          the remote name cache, with each name's remaining lifetime
//
// Exit codes: 0 output printed; 1 "Hôte introuvable." printed (no address, no answer after
// one second and one retry, or a host without the name service: it refuses at once, and is
// not asked again for 600 s); 2 bad option or refused name; 3 no socket, no IPv4 address, or
// a kernel table that cannot be read. In the last two cases nothing is printed on standard
// output and one French line goes to standard error.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_platform.h"
#include "platform/text_codec.h"
#include "tools/adapters/adapter_program.h"
#include "tools/adapters/french_layouts.h"
#include "tools/adapters/interface_addresses.h"
#include "tools/adapters/name_cache.h"
#include "tools/adapters/name_resolution.h"
#include "tools/adapters/name_rules.h"
#include "tools/adapters/neighbour_table.h"
#include "tools/adapters/node_names.h"
#include "tools/adapters/silent_address_cache.h"

namespace {

using namespace vt::adapters;

constexpr std::string_view kCommand = "nbtstat";
constexpr std::string_view kUsage = "usage : nbtstat -a NOM | -A ADRESSE | -c";

enum class Request { NodeByName, NodeByAddress, Cache };

// "-a" and "/a" are taken alike; the letter's case matters ("-a" and "-A" differ).
std::optional<char> optionLetter(const std::string& argument) {
    if (argument.size() == 2 && (argument[0] == '-' || argument[0] == '/')) {
        return argument[1];
    }
    return std::nullopt;
}

// The MAC address to print: the node's own, unless it gives zeros (Samba does), in which
// case the kernel's neighbour entry that the exchange has just refreshed.
MacAddress macToShow(const NodeStatus& status, Ipv4Address address) {
    const MacAddress given = status.unitId.value_or(MacAddress{});
    if (!isZero(given)) {
        return given;
    }
    std::string error;
    const auto table = readNeighbourTable(error);
    if (!table) {
        reportWarning(kCommand, error);
        return given;
    }
    return macOf(*table, address).value_or(given);
}

// The local addresses and the one every output shows as the node's own; nothing, after the
// failure line, when there is none.
struct LocalNode {
    std::vector<InterfaceAddress> interfaces;
    Ipv4Address shown;
};

std::optional<LocalNode> localNode() {
    std::string error;
    auto interfaces = readInterfaceAddresses(error);
    if (!interfaces) {
        reportFailure(kCommand, error, kExitUnavailable);
        return std::nullopt;
    }
    const std::optional<Ipv4Address> shown = shownLocalAddress(*interfaces);
    if (!shown) {
        reportFailure(kCommand, "aucune adresse IPv4 locale", kExitUnavailable);
        return std::nullopt;
    }
    return LocalNode{std::move(*interfaces), *shown};
}

int queryNode(const std::string& target, vt::platform::Platform& platform) {
    const std::optional<LocalNode> node = localNode();
    if (!node) {
        return kExitUnavailable;
    }
    std::string error;
    std::optional<NameServiceSocket> socket = NameServiceSocket::open(error);
    if (!socket) {
        return reportFailure(kCommand, error, kExitUnavailable);
    }
    const std::optional<Ipv4Address> address =
        resolveHost(target, platform.network, *socket, localBroadcasts(node->interfaces));
    if (!address) {
        return printOutput(hostNotFoundLayout(node->shown), kExitNotFound);
    }
    const Ipv4Address local = localAddressToward(*address).value_or(node->shown);
    SilentAddressCache silent(platform.files);
    if (silent.holds(*address, unixTimeNow()) || !socket->connectTo(*address, kNameServicePort)) {
        return printOutput(hostNotFoundLayout(local), kExitNotFound);
    }
    const std::optional<NodeStatus> status = queryNodeStatuses(*socket, {*address}).front();
    if (!status) {
        if (socket->refused() && !silent.remember(*address, unixTimeNow())) {
            reportWarning(kCommand, "impossible d'écrire " + std::string(kSilentAddressCachePath));
        }
        return printOutput(hostNotFoundLayout(local), kExitNotFound);
    }
    const NodeNames names = namesOfNode(*status, *address);
    if (!names.refused.empty()) {
        reportWarning(kCommand, refusedNamesMessage(names, *address));
    }
    if (!NameCache(platform.files).remember(names.learned, unixTimeNow(), error)) {
        reportWarning(kCommand, error);
    }
    return printOutput(nodeStatusLayout(local, names.rows, macToShow(*status, *address)),
                       kExitDone);
}

int showCache(vt::platform::Platform& platform) {
    const std::optional<LocalNode> node = localNode();
    if (!node) {
        return kExitUnavailable;
    }
    const std::int64_t now = unixTimeNow();
    return printOutput(
        remoteCacheLayout(node->shown, NameCache(platform.files).liveNames(now), now), kExitDone);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = programArguments(argc, argv);
    if (arguments.empty()) {
        return reportFailure(kCommand, kUsage, kExitUsage);
    }
    const std::optional<char> letter = optionLetter(arguments[0]);
    Request request = Request::Cache;
    if (letter == 'a') {
        request = Request::NodeByName;
    } else if (letter == 'A') {
        request = Request::NodeByAddress;
    } else if (letter != 'c') {
        return reportFailure(kCommand, "option non prise en charge : " + arguments[0], kExitUsage);
    }
    const std::size_t expected = request == Request::Cache ? 1 : 2;
    if (arguments.size() != expected) {
        return reportFailure(kCommand, kUsage, kExitUsage);
    }
    const auto native = vt::platform::createNativePlatform();
    if (request == Request::Cache) {
        return showCache(native->platform());
    }
    const std::string& target = arguments[1];
    if (const auto refusal = refusalOfName(vt::platform::toWindows1252(target))) {
        return reportFailure(kCommand, *refusal, kExitUsage);
    }
    if (request == Request::NodeByAddress && !parseIpv4(target)) {
        return reportFailure(kCommand, "adresse IP invalide : " + target, kExitUsage);
    }
    return queryNode(target, native->platform());
}
