#pragma once

// A TCP socket listening on a free loopback port that never accepts: clients get connected
// and then hear nothing, as from a server that hangs. Once it is gone, its port is one where
// nothing listens.

#include <cstdint>

namespace vt::test {

class SilentTcpListener {
public:
    SilentTcpListener();
    SilentTcpListener(const SilentTcpListener&) = delete;
    SilentTcpListener& operator=(const SilentTcpListener&) = delete;
    ~SilentTcpListener();

    bool valid() const { return m_fd >= 0; }
    std::uint16_t port() const { return m_port; }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};

// A loopback port that nothing listens on right now (it was free a moment ago).
std::uint16_t unusedLoopbackPort();

}  // namespace vt::test
