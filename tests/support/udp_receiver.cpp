#include "tests/support/udp_receiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vt::test {

UdpReceiver::UdpReceiver(const std::string& address, std::uint16_t port) {
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    socklen_t length = sizeof local;
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_port = ntohs(local.sin_port);
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
