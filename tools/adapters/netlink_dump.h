#pragma once

// The kernel's routing tables (interface addresses, neighbours) as rtnetlink dumps them.
// Parsing checks every length against the bytes received.

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::adapters {

// What one buffer of a dump holds.
struct NetlinkBatch {
    std::vector<std::string> payloads;  // the messages of the wanted type, without their header
    bool done = false;                  // the end of the dump was reached
    bool failed = false;                // the kernel reported an error, or a length lies
};

NetlinkBatch parseNetlinkMessages(std::string_view bytes, std::uint16_t wantedType);

// Calls `visit` with the type and data of every route attribute of `attributes`; false when
// an attribute's length lies (the attributes before it have been visited).
bool forEachRouteAttribute(std::string_view attributes,
                           const std::function<void(std::uint16_t, std::string_view)>& visit);

// The fixed part of a message's payload, and the route attributes that follow it; false when
// the payload is shorter than its fixed part.
template <typename Fixed>
bool splitPayload(std::string_view payload, Fixed& fixed, std::string_view& attributes) {
    const std::size_t fixedLength = (sizeof fixed + 3U) & ~std::size_t{3};
    if (payload.size() < fixedLength) {
        return false;
    }
    std::memcpy(&fixed, payload.data(), sizeof fixed);
    attributes = payload.substr(fixedLength);
    return true;
}

// Dumps one IPv4 table: `requestType` (RTM_GETADDR, RTM_GETNEIGH) is answered by messages
// of `answerType`, whose payloads are handed to `take` in turn; `header` is the request's
// fixed part that follows the netlink header. False, with the French reason in `error`, on
// failure.
bool dumpNetlinkTable(std::uint16_t requestType, std::uint16_t answerType, std::string_view header,
                      const std::function<void(std::string_view)>& take, std::string& error);

// Every entry that `decode` reads from the answers to a dump whose fixed request part is
// `request`; the payloads it cannot read are passed over.
template <typename Entry, typename Request>
std::optional<std::vector<Entry>> readNetlinkTable(std::uint16_t requestType,
                                                   std::uint16_t answerType, const Request& request,
                                                   std::optional<Entry> (*decode)(std::string_view),
                                                   std::string& error) {
    std::vector<Entry> entries;
    const auto take = [&](std::string_view payload) {
        if (std::optional<Entry> entry = decode(payload)) {
            entries.push_back(std::move(*entry));
        }
    };
    if (!dumpNetlinkTable(requestType, answerType,
                          std::string_view(reinterpret_cast<const char*>(&request), sizeof request),
                          take, error)) {
        return std::nullopt;
    }
    return entries;
}

}  // namespace vt::adapters
