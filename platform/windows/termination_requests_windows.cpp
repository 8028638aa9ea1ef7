#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>

#include "platform/termination_requests.h"
#include "platform/windows/winsock_session.h"

namespace vt::platform {

namespace {

// How long a closing console, a logoff or a shutdown is held while the program ends by
// itself; the system ends it anyway after about five seconds.
constexpr DWORD kEndingWaitMs = 4500;

// The write end, used by the handler; INVALID_SOCKET when nobody watches.
std::atomic<SOCKET> g_writeEnd{INVALID_SOCKET};
// Set once the watcher is gone, i.e. the program has finished ending.
std::atomic<HANDLE> g_ended{nullptr};

// Runs on a thread of its own that the system starts for each console event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    const SOCKET socket = g_writeEnd.load();
    if (socket == INVALID_SOCKET) {
        return FALSE;
    }
    const char byte = 1;
    // A full socket already holds a request: a lost byte loses nothing.
    ::send(socket, &byte, 1, 0);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Returning lets the system end the process at once: wait for the program's own end.
        if (const HANDLE ended = g_ended.load()) {
            ::WaitForSingleObject(ended, kEndingWaitMs);
        }
    }
    return TRUE;
}

// The console's events (Ctrl+C, Ctrl+Break, closing, logoff, shutdown) written as bytes on
// a loopback socket pair: the read end is what the event loop watches, as the pipe on POSIX.
class WindowsTerminationRequests : public TerminationRequests {
public:
    WindowsTerminationRequests() {
        if (!windows::ensureWinsock() || !connectPair()) {
            return;
        }
        SOCKET expected = INVALID_SOCKET;
        if (!g_writeEnd.compare_exchange_strong(expected, m_writeEnd)) {
            closePair();
            return;
        }
        m_ended = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_ended.store(m_ended);
        ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    }

    ~WindowsTerminationRequests() override {
        if (m_readEnd == INVALID_SOCKET) {
            return;
        }
        ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
        g_writeEnd.store(INVALID_SOCKET);
        if (m_ended != nullptr) {
            ::SetEvent(m_ended);
            g_ended.store(nullptr);
            // A handler still waiting has been released; the event is left to the process.
        }
        closePair();
    }

    WindowsTerminationRequests(const WindowsTerminationRequests&) = delete;
    WindowsTerminationRequests& operator=(const WindowsTerminationRequests&) = delete;

    int descriptor() const override {
        return m_readEnd == INVALID_SOCKET ? -1 : static_cast<int>(m_readEnd);
    }

    bool consume() override {
        if (m_readEnd == INVALID_SOCKET) {
            return false;
        }
        bool any = false;
        char buffer[64];
        while (::recv(m_readEnd, buffer, sizeof buffer, 0) > 0) {
            any = true;
        }
        return any;
    }

private:
    bool connectPair() {
        SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        const bool listening =
            listener != INVALID_SOCKET &&
            ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
            ::listen(listener, 1) == 0;
        if (listening) {
            m_writeEnd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            if (m_writeEnd != INVALID_SOCKET &&
                ::connect(m_writeEnd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                m_readEnd = ::accept(listener, nullptr, nullptr);
            }
        }
        if (listener != INVALID_SOCKET) {
            ::closesocket(listener);
        }
        u_long nonBlocking = 1;
        if (m_readEnd == INVALID_SOCKET || ::ioctlsocket(m_readEnd, FIONBIO, &nonBlocking) != 0 ||
            ::ioctlsocket(m_writeEnd, FIONBIO, &nonBlocking) != 0) {
            closePair();
            return false;
        }
        return true;
    }

    void closePair() {
        for (SOCKET* end : {&m_readEnd, &m_writeEnd}) {
            if (*end != INVALID_SOCKET) {
                ::closesocket(*end);
                *end = INVALID_SOCKET;
            }
        }
    }

    SOCKET m_readEnd = INVALID_SOCKET;
    SOCKET m_writeEnd = INVALID_SOCKET;
    HANDLE m_ended = nullptr;
};

}  // namespace

std::unique_ptr<TerminationRequests> watchTerminationRequests() {
    return std::make_unique<WindowsTerminationRequests>();
}

}  // namespace vt::platform
