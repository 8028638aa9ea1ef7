#include "tests/support/tcp_listener.h"

#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/bound_socket.h"

namespace vt::test {

SilentTcpListener::SilentTcpListener() {
    m_fd = openBoundSocket(SOCK_STREAM, "127.0.0.1", 0, m_port);
    if (m_fd >= 0 && ::listen(m_fd, 16) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

SilentTcpListener::~SilentTcpListener() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::uint16_t unusedLoopbackPort() {
    const SilentTcpListener listener;
    return listener.port();
}

}  // namespace vt::test
