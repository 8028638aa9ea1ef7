#include "platform/windows/windows_network.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, which they need.
#include <iphlpapi.h>

#include <memory>

#include "platform/wake_on_lan.h"
#include "platform/windows/winsock_session.h"

namespace vt::platform::windows {

namespace {

// Longest name the resolver accepts; longer texts cannot be host names.
constexpr std::size_t kHostNameLimit = 253;
// The size Microsoft advises to start with; the call says when it needs more.
constexpr ULONG kFirstAdapterBufferBytes = 15000;

struct AddressInfoFreer {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

std::string dottedMask(std::uint8_t prefixLength) {
    const std::uint32_t mask =
        prefixLength == 0 ? 0
                          : ~std::uint32_t{0} << (32 - std::min<std::uint8_t>(prefixLength, 32));
    return dottedIpv4(mask);
}

}  // namespace

std::vector<Ipv4Interface> WindowsNetwork::localInterfaces() const {
    ULONG size = kFirstAdapterBufferBytes;
    std::unique_ptr<unsigned char[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<unsigned char[]>(size);
        result = ::GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (result != NO_ERROR) {
        return {};
    }
    std::vector<Ipv4Interface> interfaces;
    std::vector<Ipv4Interface> loopbacks;
    for (const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get());
         adapter != nullptr; adapter = adapter->Next) {
        for (const auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (address == nullptr || address->sa_family != AF_INET) {
                continue;
            }
            const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
            Ipv4Interface item{dottedIpv4(ntohl(ipv4->sin_addr.s_addr)),
                               dottedMask(unicast->OnLinkPrefixLength)};
            if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
                loopbacks.push_back(std::move(item));
            } else {
                interfaces.push_back(std::move(item));
            }
        }
    }
    interfaces.insert(interfaces.end(), loopbacks.begin(), loopbacks.end());
    return interfaces;
}

std::optional<std::uint32_t> WindowsNetwork::resolveIpv4(std::string_view host) const {
    if (host.empty() || host.size() > kHostNameLimit || host.find('\0') != std::string_view::npos ||
        !ensureWinsock()) {
        return std::nullopt;
    }
    const std::string name(host);
    in_addr literal{};
    if (::inet_pton(AF_INET, name.c_str(), &literal) == 1) {
        return literal.s_addr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* raw = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &raw) != 0 || raw == nullptr) {
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

}  // namespace vt::platform::windows
