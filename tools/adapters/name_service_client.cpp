#include "tools/adapters/name_service_client.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace vt::adapters {

namespace {

using Clock = std::chrono::steady_clock;

// At most this many requests are in flight at once, so a large network neither overruns the
// socket buffers nor reuses a transaction number still awaited.
constexpr std::size_t kRequestsPerRound = 1024;
// A wait reads at most this many datagrams, far more than the nodes of a school network send
// back: only a flood reaches it, and the wait then ends as at its deadline.
constexpr std::size_t kDatagramsPerWait = 65536;

// Transaction numbers start at a random place, so answers meant for an earlier run of an
// adapter (or for another one running beside it) are not taken for ours.
std::uint16_t firstTransactionId() {
    std::random_device device;
    return static_cast<std::uint16_t>(device());
}

void queryNodeStatusRound(NameServiceSocket& socket, const std::vector<Ipv4Address>& addresses,
                          std::size_t first, std::size_t count, QueryTiming timing,
                          std::vector<std::optional<NodeStatus>>& results) {
    const std::uint16_t base = firstTransactionId();
    std::map<std::uint16_t, std::size_t> pending;  // transaction -> index of the address
    for (std::size_t i = first; i < first + count; ++i) {
        pending.emplace(static_cast<std::uint16_t>(base + (i - first)), i);
    }
    // A refusal reaches a connected socket only, whose one peer then has no name service:
    // nothing to wait for and nothing to ask again.
    for (int sending = 0; sending <= timing.retries && !pending.empty() && !socket.refused();
         ++sending) {
        for (auto it = pending.begin(); it != pending.end();) {
            const std::size_t index = it->second;
            if (!socket.sendTo(addresses[index], kNameServicePort,
                               encodePacket(nodeStatusRequest(it->first)))) {
                it = pending.erase(it);  // no route: no answer can come
            } else {
                ++it;
            }
        }
        const Clock::time_point deadline = Clock::now() + timing.timeout;
        for (std::size_t read = 0; !pending.empty() && read < kDatagramsPerWait; ++read) {
            const std::optional<Datagram> datagram = socket.receive(deadline);
            if (!datagram) {
                break;
            }
            const std::optional<NameServicePacket> packet = decodePacket(datagram->bytes);
            if (!packet) {
                continue;
            }
            const auto it = pending.find(packet->header.transactionId);
            if (it == pending.end() || addresses[it->second] != datagram->from) {
                continue;
            }
            if (std::optional<NodeStatus> status = answeredNodeStatus(*packet)) {
                results[it->second] = std::move(status);
                pending.erase(it);
            }
        }
    }
}

}  // namespace

std::vector<std::optional<NodeStatus>> queryNodeStatuses(NameServiceSocket& socket,
                                                         const std::vector<Ipv4Address>& addresses,
                                                         QueryTiming timing) {
    std::vector<std::optional<NodeStatus>> results(addresses.size());
    for (std::size_t first = 0; first < addresses.size(); first += kRequestsPerRound) {
        const std::size_t count = std::min(kRequestsPerRound, addresses.size() - first);
        queryNodeStatusRound(socket, addresses, first, count, timing, results);
    }
    return results;
}

std::vector<Ipv4Address> wildcardResponders(NameServiceSocket& socket,
                                            const std::vector<Ipv4Address>& broadcasts,
                                            std::chrono::milliseconds window,
                                            std::chrono::milliseconds quiet) {
    const std::uint16_t transactionId = firstTransactionId();
    const std::string request = encodePacket(nameQueryRequest(transactionId, wildcardName(), true));
    bool sent = false;
    for (const Ipv4Address broadcast : broadcasts) {
        sent = socket.sendTo(broadcast, kNameServicePort, request) || sent;
    }
    std::vector<Ipv4Address> responders;
    if (!sent) {
        return responders;
    }
    std::set<Ipv4Address> seen;
    const Clock::time_point sentAt = Clock::now();
    const Clock::time_point deadline = sentAt + window;
    // Only a new responder keeps the window open: neither a repeated answer nor a datagram
    // that is none of ours does.
    Clock::time_point quietEnd = sentAt + quiet;
    for (std::size_t read = 0; read < kDatagramsPerWait; ++read) {
        const std::optional<Datagram> datagram = socket.receive(std::min(deadline, quietEnd));
        if (!datagram) {
            break;
        }
        const std::optional<NameServicePacket> packet = decodePacket(datagram->bytes);
        if (packet && packet->header.transactionId == transactionId && answeredAddresses(*packet) &&
            seen.insert(datagram->from).second) {
            responders.push_back(datagram->from);
            quietEnd = Clock::now() + quiet;
        }
    }
    return responders;
}

std::optional<Ipv4Address> queryNameByBroadcast(NameServiceSocket& socket, const NetbiosName& name,
                                                const std::vector<Ipv4Address>& broadcasts,
                                                QueryTiming timing) {
    const std::uint16_t transactionId = firstTransactionId();
    const std::string request = encodePacket(nameQueryRequest(transactionId, name, true));
    const NetbiosName asked = nameFromRaw(rawName(name));  // as it travels: in upper case
    for (int sending = 0; sending <= timing.retries; ++sending) {
        bool sent = false;
        for (const Ipv4Address broadcast : broadcasts) {
            sent = socket.sendTo(broadcast, kNameServicePort, request) || sent;
        }
        if (!sent) {
            return std::nullopt;
        }
        const Clock::time_point deadline = Clock::now() + timing.timeout;
        for (std::size_t read = 0; read < kDatagramsPerWait; ++read) {
            const std::optional<Datagram> datagram = socket.receive(deadline);
            if (!datagram) {
                break;
            }
            const std::optional<NameServicePacket> packet = decodePacket(datagram->bytes);
            if (!packet || packet->header.transactionId != transactionId) {
                continue;
            }
            const auto addresses = answeredAddresses(*packet);
            if (addresses && packet->answers.front().name == asked) {
                return addresses->front().address;
            }
        }
    }
    return std::nullopt;
}

}  // namespace vt::adapters
