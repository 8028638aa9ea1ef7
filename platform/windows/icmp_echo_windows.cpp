#include <winsock2.h>
#include <ws2tcpip.h>
// In this order: the ICMP calls take the APC routine type that winternl.h defines, once told
// it is there.
#include <iphlpapi.h>
#include <winternl.h>
#define PIO_APC_ROUTINE_DEFINED
#include <icmpapi.h>

#include <algorithm>
#include <memory>

#include "platform/icmp_echo.h"
#include "platform/windows/winsock_session.h"

namespace vt::platform {

namespace {

// Room for one reply, its own 8 bytes of data and what the system adds around it.
constexpr DWORD kReplyBufferBytes = sizeof(ICMP_ECHO_REPLY) + 8 + 64;

struct Batch;

struct Request {
    Batch* batch = nullptr;
    IPAddr address = 0;  // network byte order
    bool done = false;
    bool answered = false;
    unsigned char reply[kReplyBufferBytes]{};
};

struct Batch {
    std::size_t pending = 0;
    std::vector<Request> requests;
};

void takeReply(Request& request) {
    if (request.done) {
        return;
    }
    if (::IcmpParseReplies(request.reply, kReplyBufferBytes) > 0) {
        const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(request.reply);
        request.answered = reply->Status == IP_SUCCESS && reply->Address == request.address;
    }
    request.done = true;
    --request.batch->pending;
}

// Runs on this thread, in its alertable waits, once the system has finished one request.
void NTAPI onReply(PVOID context, PIO_STATUS_BLOCK, ULONG) {
    takeReply(*static_cast<Request*>(context));
}

// The system's ICMP service: every request is handed over at once and answered through an
// APC, so thousands are in flight together as the Linux socket has them.
class WindowsIcmpEcho : public IcmpEcho {
public:
    explicit WindowsIcmpEcho(HANDLE handle) : m_handle(handle) {}
    ~WindowsIcmpEcho() override { ::IcmpCloseHandle(m_handle); }
    WindowsIcmpEcho(const WindowsIcmpEcho&) = delete;
    WindowsIcmpEcho& operator=(const WindowsIcmpEcho&) = delete;

    std::vector<bool> echoAll(const std::vector<std::optional<std::uint32_t>>& addresses,
                              std::chrono::milliseconds timeout) override {
        auto batch = std::make_unique<Batch>();
        batch->requests.resize(addresses.size());
        const DWORD wait = static_cast<DWORD>(
            std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 1, 0x7FFFFFFF));
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            Request& request = batch->requests[i];
            request.batch = batch.get();
            if (!addresses[i] || *addresses[i] == 0) {
                request.done = true;
                continue;
            }
            request.address = *addresses[i];
            ++batch->pending;
            // No data, as the Linux version sends: the bare 8-byte header.
            const DWORD sent =
                ::IcmpSendEcho2(m_handle, nullptr, onReply, &request, request.address, nullptr, 0,
                                nullptr, request.reply, kReplyBufferBytes, wait);
            if (sent != 0) {
                takeReply(request);  // answered before the call returned
            } else if (::GetLastError() != ERROR_IO_PENDING) {
                request.done = true;  // never sent: counts as not answering
                --batch->pending;
            }
        }
        // Each request ends by its own time-out at the latest; the margin covers a system that
        // is late to deliver the last ones.
        const ULONGLONG deadline = ::GetTickCount64() + wait + 2000;
        while (batch->pending > 0 && ::GetTickCount64() < deadline) {
            ::SleepEx(20, TRUE);
        }
        std::vector<bool> answered(addresses.size(), false);
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            answered[i] = batch->requests[i].answered;
        }
        if (batch->pending > 0) {
            // The system still holds buffers of this batch and would write into them: they
            // are kept for the life of the process rather than freed under it.
            [[maybe_unused]] Batch* kept = batch.release();
        }
        return answered;
    }

private:
    HANDLE m_handle;
};

}  // namespace

std::unique_ptr<IcmpEcho> openIcmpEcho() {
    windows::ensureWinsock();
    HANDLE handle = ::IcmpCreateFile();
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<WindowsIcmpEcho>(handle);
}

}  // namespace vt::platform
