#include "tests/support/bound_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vt::test {

int openBoundSocket(int type, const std::string& address, std::uint16_t port,
                    std::uint16_t& boundPort) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    // A server bound to a fixed port must get it back at once after an earlier one closed
    // connections there (their ends wait in TIME_WAIT).
    if (type == SOCK_STREAM) {
        const int reuse = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    socklen_t length = sizeof local;
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        ::close(fd);
        return -1;
    }
    boundPort = ntohs(local.sin_port);
    return fd;
}

}  // namespace vt::test
