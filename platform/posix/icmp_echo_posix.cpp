#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/icmp.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <limits>
#include <random>
#include <utility>

#include "platform/icmp_echo.h"

namespace vt::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kEchoReply = 0;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kReplyBufferSize = 128;
// Sequence numbers are 16 bits: a batch stays far below that, so a late reply of an earlier
// batch can never be taken for an answer in the current one.
constexpr std::size_t kBatchLimit = 16384;
// Replies pile up while the requests go out; a large buffer keeps loopback replies from
// being dropped before they are read.
constexpr int kReceiveBufferBytes = 1 << 20;
// Bounds the reads of one pass so that a flood of foreign ICMP cannot hold up the sending.
constexpr int kReadsPerPass = 512;
// A request to an address whose link-level resolution is still pending is held by the system
// against the socket's send buffer until the address resolves or is given up (about 3 s), so
// the buffer is sized for every request of a batch at once. The share one request takes
// there, with the system's bookkeeping:
constexpr std::size_t kSendBufferBytesPerRequest = 1024;
// When the buffer is full even so, the sending waits this long at most for room, reading
// replies meanwhile: longer than the system takes to give up an unresolved address.
constexpr std::chrono::seconds kRoomWait{5};
constexpr std::chrono::milliseconds kRoomPoll{1};

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::uint16_t internetChecksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

struct Reply {
    std::uint32_t source;  // network byte order
    std::uint16_t identifier;
    std::uint16_t sequence;
};

// One request in flight: the entry of the caller's list it answers for.
struct Slot {
    std::size_t index;
    std::uint32_t address;
};

class PosixIcmpEcho : public IcmpEcho {
public:
    PosixIcmpEcho(int fd, bool datagram, std::uint16_t identifier, std::uint16_t firstSequence)
        : m_socket(fd),
          m_datagram(datagram),
          m_identifier(identifier),
          m_nextSequence(firstSequence) {
        socklen_t size = sizeof m_sendBufferBytes;
        ::getsockopt(fd, SOL_SOCKET, SO_SNDBUF, &m_sendBufferBytes, &size);
    }

    std::vector<bool> echoAll(const std::vector<std::optional<std::uint32_t>>& addresses,
                              std::chrono::milliseconds timeout) override;

private:
    void echoBatch(const std::vector<Slot>& slots, std::chrono::milliseconds timeout,
                   std::vector<bool>& answered);
    // Makes the send buffer hold that many requests waiting for their address to resolve.
    void reserveSendBuffer(std::size_t requests);
    bool sendOnce(std::uint32_t address, std::uint16_t sequence, int& error);
    // Reads the replies waiting now and marks those that answer a slot of the batch.
    void receiveWaiting(const std::vector<Slot>& slots, std::uint16_t firstSequence,
                        std::size_t sent, std::vector<bool>& answered, std::size_t& open);
    std::optional<Reply> parse(const std::uint8_t* bytes, std::size_t size,
                               const sockaddr_in& from) const;
    bool waitFor(short events, Clock::time_point deadline) const;

    Descriptor m_socket;
    // A datagram socket: the system sets the identifier itself and hands over only the
    // replies to this socket, without their IP header. A raw socket sees every ICMP packet.
    bool m_datagram;
    std::uint16_t m_identifier;
    std::uint16_t m_nextSequence;
    int m_sendBufferBytes = 0;  // never made smaller than the system's default
};

std::vector<bool> PosixIcmpEcho::echoAll(const std::vector<std::optional<std::uint32_t>>& addresses,
                                         std::chrono::milliseconds timeout) {
    std::vector<bool> answered(addresses.size(), false);
    std::vector<Slot> slots;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (addresses[i] && *addresses[i] != 0) {
            slots.push_back(Slot{i, *addresses[i]});
        }
        if (slots.size() == kBatchLimit || (i + 1 == addresses.size() && !slots.empty())) {
            echoBatch(slots, timeout, answered);
            slots.clear();
        }
    }
    return answered;
}

void PosixIcmpEcho::echoBatch(const std::vector<Slot>& slots, std::chrono::milliseconds timeout,
                              std::vector<bool>& answered) {
    reserveSendBuffer(slots.size());
    const std::uint16_t firstSequence = m_nextSequence;
    m_nextSequence = static_cast<std::uint16_t>(m_nextSequence + slots.size());
    std::size_t open = 0;  // requests sent and not answered yet
    bool roomFreesUp = true;
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const auto sequence = static_cast<std::uint16_t>(firstSequence + s);
        const Clock::time_point waitEnd = Clock::now() + kRoomWait;
        for (;;) {
            int error = 0;
            if (sendOnce(slots[s].address, sequence, error)) {
                ++open;
                break;
            }
            const bool noRoom = error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS;
            if (error != EINTR && (!noRoom || !roomFreesUp)) {
                break;  // no route, address refused: no reply can come
            }
            if (Clock::now() >= waitEnd) {
                roomFreesUp = false;  // the rest of the batch does not wait in vain again
                break;
            }
            // Room comes back as held requests leave, not as replies arrive; those are read
            // meanwhile so that none is lost from a full receive buffer.
            waitFor(POLLIN, std::min(waitEnd, Clock::now() + kRoomPoll));
            receiveWaiting(slots, firstSequence, s, answered, open);
        }
        receiveWaiting(slots, firstSequence, s + 1, answered, open);
    }
    const Clock::time_point deadline = Clock::now() + timeout;
    while (open > 0 && waitFor(POLLIN, deadline)) {
        receiveWaiting(slots, firstSequence, slots.size(), answered, open);
    }
}

void PosixIcmpEcho::reserveSendBuffer(std::size_t requests) {
    static_assert(kBatchLimit * kSendBufferBytesPerRequest <= std::numeric_limits<int>::max());
    const int bytes =
        static_cast<int>(std::min(requests, kBatchLimit) * kSendBufferBytesPerRequest);
    if (bytes <= m_sendBufferBytes) {
        return;
    }
    // The forced size passes the system's ceiling for ordinary users where the process may
    // (root); otherwise the size asked for is cut to that ceiling.
#ifdef SO_SNDBUFFORCE
    if (::setsockopt(m_socket.get(), SOL_SOCKET, SO_SNDBUFFORCE, &bytes, sizeof bytes) == 0) {
        m_sendBufferBytes = bytes;
        return;
    }
#endif
    ::setsockopt(m_socket.get(), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
    m_sendBufferBytes = bytes;
}

bool PosixIcmpEcho::sendOnce(std::uint32_t address, std::uint16_t sequence, int& error) {
    std::array<std::uint8_t, kHeaderSize> packet{kEchoRequest,
                                                 0,
                                                 0,
                                                 0,
                                                 static_cast<std::uint8_t>(m_identifier >> 8),
                                                 static_cast<std::uint8_t>(m_identifier),
                                                 static_cast<std::uint8_t>(sequence >> 8),
                                                 static_cast<std::uint8_t>(sequence)};
    const std::uint16_t sum = internetChecksum(packet.data(), packet.size());
    packet[2] = static_cast<std::uint8_t>(sum >> 8);
    packet[3] = static_cast<std::uint8_t>(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    const ssize_t written = ::sendto(m_socket.get(), packet.data(), packet.size(), MSG_DONTWAIT,
                                     reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (written == static_cast<ssize_t>(packet.size())) {
        return true;
    }
    error = written < 0 ? errno : EIO;
    return false;
}

void PosixIcmpEcho::receiveWaiting(const std::vector<Slot>& slots, std::uint16_t firstSequence,
                                   std::size_t sent, std::vector<bool>& answered,
                                   std::size_t& open) {
    std::array<std::uint8_t, kReplyBufferSize> buffer{};
    for (int reads = 0; reads < kReadsPerPass && open > 0; ++reads) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = ::recvfrom(m_socket.get(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // nothing more waiting (or an error report, which answers nothing)
        }
        const std::optional<Reply> reply =
            parse(buffer.data(), static_cast<std::size_t>(size), from);
        if (!reply || (!m_datagram && reply->identifier != m_identifier)) {
            continue;
        }
        const auto offset = static_cast<std::uint16_t>(reply->sequence - firstSequence);
        if (offset >= sent) {
            continue;
        }
        const Slot& slot = slots[offset];
        if (slot.address == reply->source && !answered[slot.index]) {
            answered[slot.index] = true;
            --open;
        }
    }
}

std::optional<Reply> PosixIcmpEcho::parse(const std::uint8_t* bytes, std::size_t size,
                                          const sockaddr_in& from) const {
    std::size_t start = 0;
    if (!m_datagram) {
        if (size < 20 || bytes[0] >> 4 != 4) {
            return std::nullopt;
        }
        start = static_cast<std::size_t>(bytes[0] & 0x0F) * 4;
    }
    if (size < start + kHeaderSize) {
        return std::nullopt;
    }
    const std::uint8_t* icmp = bytes + start;
    if (icmp[0] != kEchoReply || icmp[1] != 0) {
        return std::nullopt;
    }
    return Reply{from.sin_addr.s_addr, static_cast<std::uint16_t>(icmp[4] << 8 | icmp[5]),
                 static_cast<std::uint16_t>(icmp[6] << 8 | icmp[7])};
}

bool PosixIcmpEcho::waitFor(short events, Clock::time_point deadline) const {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return false;
        }
        const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec wait{static_cast<time_t>(nanos / 1000000000),
                            static_cast<long>(nanos % 1000000000)};
        pollfd entry{m_socket.get(), events, 0};
        const int ready = ::ppoll(&entry, 1, &wait, nullptr);
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

int openSocket(int type) {
    return ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
}

}  // namespace

std::unique_ptr<IcmpEcho> openIcmpEcho() {
    bool datagram = true;
    int fd = openSocket(SOCK_DGRAM);
    if (fd < 0) {
        datagram = false;
        fd = openSocket(SOCK_RAW);
    }
    if (fd < 0) {
        return nullptr;
    }
    const int bufferBytes = kReceiveBufferBytes;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
#ifdef __linux__
    if (!datagram) {
        // Only echo replies reach the raw socket, not every ICMP packet of the machine.
        icmp_filter filter{~(1U << ICMP_ECHOREPLY)};
        ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    }
#endif
    std::random_device random;
    const auto identifier = static_cast<std::uint16_t>(random());
    const auto firstSequence = static_cast<std::uint16_t>(random());
    return std::make_unique<PosixIcmpEcho>(fd, datagram, identifier, firstSequence);
}

}  // namespace vt::platform
