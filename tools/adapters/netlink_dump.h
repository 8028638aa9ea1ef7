#pragma once

// The kernel's routing tables (interface addresses, neighbours) as rtnetlink dumps them.
// Parsing checks every length against the bytes received.

#include <cstdint>
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

// Dumps one IPv4 table: `requestType` (RTM_GETADDR, RTM_GETNEIGH) is answered by messages
// of `answerType`, whose payloads are returned; `header` is the request's fixed part that
// follows the netlink header. Nothing, with the French reason in `error`, on failure.
std::optional<std::vector<std::string>> dumpNetlinkTable(std::uint16_t requestType,
                                                         std::uint16_t answerType,
                                                         std::string_view header,
                                                         std::string& error);

}  // namespace vt::adapters
