#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/wake_on_lan.h"

namespace vt::platform {

namespace {

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::string systemReason(int error) {
    return std::strerror(error);
}

}  // namespace

SendResult sendMagicPacket(const MacAddress& mac, std::uint32_t address, std::uint16_t port) {
    SendResult result;
    Socket socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0) {
        result.error = "création de la socket impossible (" + systemReason(errno) + ")";
        return result;
    }
    const int allow = 1;
    if (::setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, &allow, sizeof allow) != 0) {
        result.error = "diffusion refusée (" + systemReason(errno) + ")";
        return result;
    }

    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address);
    const MagicPacket packet = magicPacket(mac);
    ssize_t sent = -1;
    do {
        sent = ::sendto(socket.get(), packet.data(), packet.size(), 0,
                        reinterpret_cast<const sockaddr*>(&target), sizeof target);
    } while (sent < 0 && errno == EINTR);
    if (sent != static_cast<ssize_t>(packet.size())) {
        result.error = "envoi impossible vers " + dottedIpv4(address) + ":" + std::to_string(port) +
                       " (" + (sent < 0 ? systemReason(errno) : std::string("envoi partiel")) + ")";
        return result;
    }
    result.sent = true;
    return result;
}

}  // namespace vt::platform
