#pragma once

// ICMP echo ("ping") of many IPv4 hosts at once. Every request is sent first and the replies
// are then awaited together, so a list of hosts takes about one time-out in all rather than
// one time-out per host.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vt::platform {

// An open ICMP endpoint. Requests carry no payload (the bare 8-byte ICMP header) and no IP
// options.
class IcmpEcho {
public:
    virtual ~IcmpEcho() = default;

    // One echo request to each address (network byte order), then the replies awaited until
    // the time-out has passed after the last request. answered[i] tells whether a reply from
    // addresses[i] to its own request came back. Nothing and 0.0.0.0 send no request and
    // count as not answering, as does an address the request cannot be sent to. A request
    // that finds the send buffer full waits for room, which the requests held there for
    // addresses still being resolved on the link give back within seconds. The same
    // address may appear several times; each entry has its own request.
    virtual std::vector<bool> echoAll(const std::vector<std::optional<std::uint32_t>>& addresses,
                                      std::chrono::milliseconds timeout) = 0;
};

// Opens the endpoint: an unprivileged ICMP datagram socket where the system allows one for
// this user, else a raw ICMP socket. Nothing when neither can be opened.
std::unique_ptr<IcmpEcho> openIcmpEcho();

// Opens an endpoint for this call only; every host counts as not answering when none opens.
std::vector<bool> echoAll(const std::vector<std::optional<std::uint32_t>>& addresses,
                          std::chrono::milliseconds timeout);

}  // namespace vt::platform
