#include "tools/adapters/name_service_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/adapters/name_service_packet.h"

namespace vt::adapters {

namespace {

// Answers of a few hundred nodes may arrive together; the default receive buffer would drop
// some of them.
constexpr int kReceiveBufferBytes = 1 << 20;
// Larger than any name service datagram, so none is cut.
constexpr std::size_t kLargestDatagram = 65536;
// How long a send waits for room in a full send buffer.
constexpr int kSendRoomWaitMs = 200;

sockaddr_in socketAddress(Ipv4Address address, std::uint16_t port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(port);
    socketAddress.sin_addr.s_addr = htonl(address.value);
    return socketAddress;
}

std::string systemReason() {
    return std::strerror(errno);
}

}  // namespace

std::optional<NameServiceSocket> NameServiceSocket::open(std::string& error, Ipv4Address address,
                                                         std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = "impossible d'ouvrir une socket UDP (" + systemReason() + ")";
        return std::nullopt;
    }
    NameServiceSocket socket(fd);
    const int on = 1;
    const int bufferBytes = kReceiveBufferBytes;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // Beyond the system's ceiling only root may go; others get what the ceiling allows.
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bufferBytes, sizeof bufferBytes) != 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
    }
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        error = "diffusion refusée sur la socket UDP (" + systemReason() + ")";
        return std::nullopt;
    }
    const sockaddr_in local = socketAddress(address, port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = "impossible d'attacher la socket UDP à " + toText(address) + ":" +
                std::to_string(port) + " (" + systemReason() + ")";
        return std::nullopt;
    }
    return socket;
}

NameServiceSocket::NameServiceSocket(NameServiceSocket&& other) noexcept
    : m_fd(other.m_fd), m_refused(other.m_refused) {
    other.m_fd = -1;
}

NameServiceSocket& NameServiceSocket::operator=(NameServiceSocket&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = other.m_fd;
        m_refused = other.m_refused;
        other.m_fd = -1;
    }
    return *this;
}

NameServiceSocket::~NameServiceSocket() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool NameServiceSocket::connectTo(Ipv4Address peer, std::uint16_t port) {
    const sockaddr_in target = socketAddress(peer, port);
    return ::connect(m_fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
}

bool NameServiceSocket::sendTo(Ipv4Address to, std::uint16_t port, std::string_view bytes) {
    const sockaddr_in target = socketAddress(to, port);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ssize_t sent = ::sendto(m_fd, bytes.data(), bytes.size(), 0,
                                      reinterpret_cast<const sockaddr*>(&target), sizeof target);
        if (sent == static_cast<ssize_t>(bytes.size())) {
            return true;
        }
        if (sent < 0 && errno == ECONNREFUSED) {
            m_refused = true;
        }
        if (sent >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS)) {
            return false;
        }
        pollfd room{m_fd, POLLOUT, 0};
        ::poll(&room, 1, kSendRoomWaitMs);
    }
    return false;
}

std::optional<Datagram> NameServiceSocket::receiveWaiting() {
    // On the stack: a flood must not cost an allocation of the largest size per datagram.
    char buffer[kLargestDatagram];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t received =
        ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0 && errno == ECONNREFUSED) {
        m_refused = true;
    }
    if (received < 0 || from.sin_family != AF_INET) {
        return std::nullopt;
    }
    return Datagram{Ipv4Address{ntohl(from.sin_addr.s_addr)}, ntohs(from.sin_port),
                    std::string(buffer, static_cast<std::size_t>(received))};
}

std::optional<Datagram> NameServiceSocket::receive(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        // The clock is read before every datagram: while packets keep arriving one is always
        // waiting, and a wait that looked at the clock only when none was would never end.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        if (auto datagram = receiveWaiting()) {
            return datagram;
        }
        if (m_refused) {
            return std::nullopt;
        }
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            return std::nullopt;
        }
    }
}

std::optional<Ipv4Address> localAddressToward(Ipv4Address to) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return std::nullopt;
    }
    // Connecting a datagram socket sends nothing: it only picks the route and the source.
    const sockaddr_in target = socketAddress(to, kNameServicePort);
    sockaddr_in local{};
    socklen_t localLength = sizeof local;
    const bool found =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0;
    ::close(fd);
    if (!found) {
        return std::nullopt;
    }
    return Ipv4Address{ntohl(local.sin_addr.s_addr)};
}

}  // namespace vt::adapters
