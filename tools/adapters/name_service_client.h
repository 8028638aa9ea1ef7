#pragma once

// The questions the adapters ask the NetBIOS name service: node status of one or many nodes
// at once, the wildcard query that finds every node of a network, and the query that finds
// the address of a name, each with its time-out and retries.

#include <chrono>
#include <optional>
#include <vector>

#include "tools/adapters/ipv4_address.h"
#include "tools/adapters/name_service_packet.h"
#include "tools/adapters/name_service_socket.h"

namespace vt::adapters {

struct QueryTiming {
    std::chrono::milliseconds timeout{1000};  // the wait for answers after each sending
    int retries = 1;                          // sendings after the first one
};

// How long the answers to a wildcard broadcast are collected: until none new came for the
// quiet time, at the latest until the window closes. The nodes of one network all answer
// within a few milliseconds, so waiting past a pause that long finds no more of them.
inline constexpr std::chrono::milliseconds kWildcardWindow{1000};
inline constexpr std::chrono::milliseconds kWildcardQuiet{300};

// The node status of every address, in the order of the addresses; nothing for an address
// that did not answer. All requests leave at once on the one socket and are matched to their
// answers by transaction and source; the silent addresses are asked again after each
// time-out, so many nodes take about as long as one.
std::vector<std::optional<NodeStatus>> queryNodeStatuses(NameServiceSocket& socket,
                                                         const std::vector<Ipv4Address>& addresses,
                                                         QueryTiming timing = {});

// The nodes that answer one wildcard name query broadcast on each network, until no new one
// answered for `quiet` and at most for `window`: their addresses, each once, in the order
// they answered.
std::vector<Ipv4Address> wildcardResponders(NameServiceSocket& socket,
                                            const std::vector<Ipv4Address>& broadcasts,
                                            std::chrono::milliseconds window = kWildcardWindow,
                                            std::chrono::milliseconds quiet = kWildcardQuiet);

// The address of a name, from the first positive answer to a name query broadcast on every
// network; nothing when no node answers.
std::optional<Ipv4Address> queryNameByBroadcast(NameServiceSocket& socket, const NetbiosName& name,
                                                const std::vector<Ipv4Address>& broadcasts,
                                                QueryTiming timing = {});

}  // namespace vt::adapters
