#pragma once

// A UDP socket bound to a loopback address, for catching the Wake-on-LAN packets the tools
// send.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace vt::test {

class UdpReceiver {
public:
    // Binds to the address (dotted) and port; port 0 picks a free one. valid() tells whether
    // the bind worked.
    explicit UdpReceiver(const std::string& address = "127.0.0.1", std::uint16_t port = 0);
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;
    ~UdpReceiver();

    bool valid() const { return m_fd >= 0; }
    std::uint16_t port() const { return m_port; }
    // The next datagram's bytes; nothing when none arrives within the wait.
    std::optional<std::string> receive(std::chrono::milliseconds wait = std::chrono::seconds(5));

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};

}  // namespace vt::test
