#include "tests/support/udp_receiver.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/bound_socket.h"

namespace vt::test {

UdpReceiver::UdpReceiver(const std::string& address, std::uint16_t port) {
    m_fd = openBoundSocket(SOCK_DGRAM, address, port, m_port);
}

UdpReceiver::~UdpReceiver() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::optional<std::string> UdpReceiver::receive(std::chrono::milliseconds wait) {
    if (m_fd < 0) {
        return std::nullopt;
    }
    pollfd ready{m_fd, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(wait.count())) != 1) {
        return std::nullopt;
    }
    char buffer[2048];
    const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
    if (got < 0) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(got));
}

}  // namespace vt::test
