#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/wake_on_lan.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/winsock_session.h"

namespace vt::platform {

namespace {

class Socket {
public:
    explicit Socket(SOCKET socket) : m_socket(socket) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (m_socket != INVALID_SOCKET) {
            ::closesocket(m_socket);
        }
    }
    SOCKET get() const { return m_socket; }

private:
    SOCKET m_socket;
};

std::string socketReason() {
    return windows::errorText(static_cast<unsigned long>(::WSAGetLastError()));
}

}  // namespace

SendResult sendMagicPacket(const MacAddress& mac, std::uint32_t address, std::uint16_t port) {
    SendResult result;
    if (!windows::ensureWinsock()) {
        result.error = "Winsock indisponible";
        return result;
    }
    Socket socket(
        ::WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT));
    if (socket.get() == INVALID_SOCKET) {
        result.error = "création de la socket impossible (" + socketReason() + ")";
        return result;
    }
    const BOOL allow = TRUE;
    if (::setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allow),
                     sizeof allow) != 0) {
        result.error = "diffusion refusée (" + socketReason() + ")";
        return result;
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address);
    const MagicPacket packet = magicPacket(mac);
    const int sent = ::sendto(socket.get(), reinterpret_cast<const char*>(packet.data()),
                              static_cast<int>(packet.size()), 0,
                              reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (sent != static_cast<int>(packet.size())) {
        result.error = "envoi impossible vers " + dottedIpv4(address) + ":" + std::to_string(port) +
                       " (" + (sent < 0 ? socketReason() : std::string("envoi partiel")) + ")";
        return result;
    }
    result.sent = true;
    return result;
}

}  // namespace vt::platform
