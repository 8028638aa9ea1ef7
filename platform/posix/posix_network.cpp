#include "platform/posix/posix_network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>

namespace vt::platform::posix {

namespace {

struct InterfaceListFreer {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

struct AddressInfoFreer {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

std::string dotted(const sockaddr* address) {
    if (address == nullptr || address->sa_family != AF_INET) {
        return "0.0.0.0";
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
    if (inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text) == nullptr) {
        return "0.0.0.0";
    }
    return text;
}

// Longest name the resolver accepts; longer texts cannot be host names.
constexpr std::size_t kHostNameLimit = 253;

}  // namespace

std::vector<Ipv4Interface> PosixNetwork::localInterfaces() const {
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0) {
        return {};
    }
    const std::unique_ptr<ifaddrs, InterfaceListFreer> list(raw);
    std::vector<Ipv4Interface> interfaces;
    std::vector<Ipv4Interface> loopbacks;
    for (const ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        Ipv4Interface item{dotted(entry->ifa_addr), dotted(entry->ifa_netmask)};
        if ((entry->ifa_flags & IFF_LOOPBACK) != 0) {
            loopbacks.push_back(std::move(item));
        } else {
            interfaces.push_back(std::move(item));
        }
    }
    interfaces.insert(interfaces.end(), loopbacks.begin(), loopbacks.end());
    return interfaces;
}

std::optional<std::uint32_t> PosixNetwork::resolveIpv4(std::string_view host) const {
    if (host.empty() || host.size() > kHostNameLimit || host.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string name(host);
    in_addr literal{};
    if (inet_pton(AF_INET, name.c_str(), &literal) == 1) {
        return literal.s_addr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* raw = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &raw) != 0 || raw == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<addrinfo, AddressInfoFreer> results(raw);
    for (const addrinfo* entry = results.get(); entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
            return reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        }
    }
    return std::nullopt;
}

}  // namespace vt::platform::posix
