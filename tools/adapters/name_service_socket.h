#pragma once

// A UDP socket of the NetBIOS name service, for the adapters and their test responder.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/adapters/ipv4_address.h"

namespace vt::adapters {

struct Datagram {
    Ipv4Address from;
    std::uint16_t fromPort = 0;
    std::string bytes;
};

class NameServiceSocket {
public:
    // A socket bound to the address and port (0.0.0.0 and 0: a free port on every address),
    // allowed to broadcast; several sockets may share a port, each bound to its own address.
    // Nothing, with the French reason in `error`, when it cannot be opened or bound.
    static std::optional<NameServiceSocket> open(std::string& error, Ipv4Address address = {},
                                                 std::uint16_t port = 0);

    NameServiceSocket(NameServiceSocket&& other) noexcept;
    NameServiceSocket& operator=(NameServiceSocket&& other) noexcept;
    NameServiceSocket(const NameServiceSocket&) = delete;
    NameServiceSocket& operator=(const NameServiceSocket&) = delete;
    ~NameServiceSocket();

    // Makes the socket talk with one peer only: datagrams of others are no longer received,
    // and a peer without the service ("port unreachable") makes refused() true at once
    // instead of leaving the query to its time-out. False when there is no route.
    bool connectTo(Ipv4Address peer, std::uint16_t port);
    // True once the connected peer answered that nothing listens on its port.
    bool refused() const { return m_refused; }

    // False when the datagram could not be handed to the system (no route to the address).
    bool sendTo(Ipv4Address to, std::uint16_t port, std::string_view bytes);
    // The next datagram, waiting until the deadline at most; nothing once the deadline has
    // passed, even with datagrams waiting.
    std::optional<Datagram> receive(std::chrono::steady_clock::time_point deadline);
    // The next datagram already waiting, without waiting.
    std::optional<Datagram> receiveWaiting();

    int descriptor() const { return m_fd; }

private:
    explicit NameServiceSocket(int fd) : m_fd(fd) {}

    int m_fd = -1;
    bool m_refused = false;
};

// The local address that the system sends from to reach `to`; nothing when there is no route.
std::optional<Ipv4Address> localAddressToward(Ipv4Address to);

}  // namespace vt::adapters
