#include "platform/windows/winsock_session.h"

#include <winsock2.h>

namespace vt::platform::windows {

bool ensureWinsock() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

}  // namespace vt::platform::windows
