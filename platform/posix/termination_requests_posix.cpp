#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/termination_requests.h"

namespace vt::platform {

namespace {

// The write end, read by the handler; -1 when nobody watches.
std::atomic<int> g_writeEnd{-1};

extern "C" void onTerminationSignal(int) {
    const int savedErrno = errno;
    const int fd = g_writeEnd.load();
    if (fd >= 0) {
        const char byte = 1;
        // A full pipe already holds a request: a lost byte loses nothing.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

constexpr int kSignals[] = {SIGTERM, SIGINT};

class PosixTerminationRequests : public TerminationRequests {
public:
    PosixTerminationRequests() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
            return;
        }
        int expected = -1;
        if (!g_writeEnd.compare_exchange_strong(expected, fds[1])) {
            ::close(fds[0]);
            ::close(fds[1]);
            return;
        }
        m_readEnd = fds[0];
        m_writeEnd = fds[1];
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            ::sigaction(kSignals[i], &action, &m_previous[i]);
        }
    }

    ~PosixTerminationRequests() override {
        if (m_readEnd < 0) {
            return;
        }
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
        }
        g_writeEnd.store(-1);
        ::close(m_readEnd);
        ::close(m_writeEnd);
    }

    PosixTerminationRequests(const PosixTerminationRequests&) = delete;
    PosixTerminationRequests& operator=(const PosixTerminationRequests&) = delete;

    int descriptor() const override { return m_readEnd; }

    bool consume() override {
        if (m_readEnd < 0) {
            return false;
        }
        bool any = false;
        char buffer[64];
        while (::read(m_readEnd, buffer, sizeof buffer) > 0) {
            any = true;
        }
        return any;
    }

private:
    int m_readEnd = -1;
    int m_writeEnd = -1;
    struct sigaction m_previous[std::size(kSignals)]{};
};

}  // namespace

std::unique_ptr<TerminationRequests> watchTerminationRequests() {
    return std::make_unique<PosixTerminationRequests>();
}

}  // namespace vt::platform
