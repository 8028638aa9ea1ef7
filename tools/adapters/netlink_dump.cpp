#include "tools/adapters/netlink_dump.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vt::adapters {

namespace {

constexpr std::size_t kReceiveBufferBytes = 65536;
// The kernel answers a dump at once; a silent socket means something is wrong.
constexpr int kAnswerWaitMs = 2000;

std::size_t aligned(std::size_t length) {
    return (length + 3U) & ~std::size_t{3};
}

class SocketCloser {
public:
    explicit SocketCloser(int fd) : m_fd(fd) {}
    SocketCloser(const SocketCloser&) = delete;
    SocketCloser& operator=(const SocketCloser&) = delete;
    ~SocketCloser() { ::close(m_fd); }

private:
    int m_fd;
};

}  // namespace

NetlinkBatch parseNetlinkMessages(std::string_view bytes, std::uint16_t wantedType) {
    NetlinkBatch batch;
    std::size_t at = 0;
    while (at < bytes.size()) {
        nlmsghdr header{};
        if (bytes.size() - at < sizeof header) {
            batch.failed = true;
            return batch;
        }
        std::memcpy(&header, bytes.data() + at, sizeof header);
        if (header.nlmsg_len < sizeof header || header.nlmsg_len > bytes.size() - at) {
            batch.failed = true;
            return batch;
        }
        const std::string_view payload =
            bytes.substr(at + sizeof header, header.nlmsg_len - sizeof header);
        if (header.nlmsg_type == NLMSG_DONE) {
            batch.done = true;
            return batch;
        }
        if (header.nlmsg_type == NLMSG_ERROR) {
            batch.failed = true;
            return batch;
        }
        if (header.nlmsg_type == wantedType) {
            batch.payloads.emplace_back(payload);
        }
        at += std::min(aligned(header.nlmsg_len), bytes.size() - at);
    }
    return batch;
}

bool forEachRouteAttribute(std::string_view attributes,
                           const std::function<void(std::uint16_t, std::string_view)>& visit) {
    std::size_t at = 0;
    while (at < attributes.size()) {
        rtattr attribute{};
        if (attributes.size() - at < sizeof attribute) {
            return false;
        }
        std::memcpy(&attribute, attributes.data() + at, sizeof attribute);
        if (attribute.rta_len < sizeof attribute || attribute.rta_len > attributes.size() - at) {
            return false;
        }
        visit(attribute.rta_type,
              attributes.substr(at + sizeof attribute, attribute.rta_len - sizeof attribute));
        at += std::min(aligned(attribute.rta_len), attributes.size() - at);
    }
    return true;
}

bool dumpNetlinkTable(std::uint16_t requestType, std::uint16_t answerType, std::string_view header,
                      const std::function<void(std::string_view)>& take, std::string& error) {
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) {
        error = std::string("impossible d'interroger les tables du noyau (") +
                std::strerror(errno) + ")";
        return false;
    }
    const SocketCloser closer(fd);

    nlmsghdr request{};
    request.nlmsg_len = static_cast<std::uint32_t>(sizeof request + header.size());
    request.nlmsg_type = requestType;
    request.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.nlmsg_seq = 1;
    std::string message(reinterpret_cast<const char*>(&request), sizeof request);
    message += header;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd, message.data(), message.size(), 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        error = std::string("requête refusée par le noyau (") + std::strerror(errno) + ")";
        return false;
    }

    std::string buffer(kReceiveBufferBytes, '\0');
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, kAnswerWaitMs) <= 0) {
            error = "le noyau ne répond pas à la requête";
            return false;
        }
        const ssize_t received = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (received < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::string("réponse du noyau illisible (") + std::strerror(errno) + ")";
            return false;
        }
        NetlinkBatch batch = parseNetlinkMessages(
            std::string_view(buffer.data(), static_cast<std::size_t>(received)), answerType);
        if (batch.failed) {
            error = "réponse du noyau invalide";
            return false;
        }
        for (const std::string& payload : batch.payloads) {
            take(payload);
        }
        if (batch.done || received == 0) {
            return true;
        }
    }
}

}  // namespace vt::adapters
