#include "tools/inventory/server_address.h"

#include "platform/port_number.h"

namespace vt::inventory {

namespace {

std::optional<ServerAddress> withPort(std::string_view host, std::string_view portText) {
    const std::optional<std::uint16_t> port = platform::parsePortNumber(portText);
    if (host.empty() || !port) {
        return std::nullopt;
    }
    return ServerAddress{std::string(host), *port};
}

}  // namespace

std::optional<ServerAddress> parseServerAddress(std::string_view text) {
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (rest.empty() && !host.empty()) {
            return ServerAddress{std::string(host)};
        }
        if (!rest.starts_with(':')) {
            return std::nullopt;
        }
        return withPort(host, rest.substr(1));
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        if (text.empty()) {
            return std::nullopt;
        }
        return ServerAddress{std::string(text)};
    }
    // More than one colon without brackets is a bare IPv6 address.
    if (text.find(':', colon + 1) != std::string_view::npos) {
        return ServerAddress{std::string(text)};
    }
    return withPort(text.substr(0, colon), text.substr(colon + 1));
}

}  // namespace vt::inventory
