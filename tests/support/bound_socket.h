#pragma once

// A socket bound to a local address, the common start of the test servers.

#include <cstdint>
#include <string>

namespace vt::test {

// A socket of the type (SOCK_DGRAM, SOCK_STREAM) bound to the dotted address and port (0
// picks a free one), close-on-exec; -1 when it cannot be made. boundPort receives the port.
int openBoundSocket(int type, const std::string& address, std::uint16_t port,
                    std::uint16_t& boundPort);

}  // namespace vt::test
