#pragma once

// The packets of the NetBIOS name service (RFC 1002, UDP port 137): name queries, node status
// requests and their answers. Decoding checks every length and count against the bytes
// received and never reads past them: a packet that lies about its contents is refused whole.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/adapters/ipv4_address.h"
#include "tools/adapters/mac_address.h"
#include "tools/adapters/netbios_name.h"

namespace vt::adapters {

inline constexpr std::uint16_t kNameServicePort = 137;

inline constexpr std::uint16_t kTypeNb = 0x0020;      // a name and its addresses
inline constexpr std::uint16_t kTypeNbstat = 0x0021;  // the node status of a node
inline constexpr std::uint16_t kClassInternet = 0x0001;

inline constexpr std::uint8_t kOpcodeQuery = 0;

struct NameServiceHeader {
    std::uint16_t transactionId = 0;
    bool response = false;
    std::uint8_t opcode = kOpcodeQuery;
    bool authoritative = false;
    bool truncated = false;
    bool recursionDesired = false;
    bool recursionAvailable = false;
    bool broadcast = false;
    std::uint8_t rcode = 0;  // 0: success

    bool operator==(const NameServiceHeader&) const = default;
};

struct NameServiceQuestion {
    NetbiosName name;
    std::uint16_t type = kTypeNb;
    std::uint16_t recordClass = kClassInternet;

    bool operator==(const NameServiceQuestion&) const = default;
};

struct NameServiceRecord {
    NetbiosName name;
    std::uint16_t type = kTypeNb;
    std::uint16_t recordClass = kClassInternet;
    std::uint32_t timeToLive = 0;
    std::string data;  // the record's bytes, read by the decoders below

    bool operator==(const NameServiceRecord&) const = default;
};

// A packet; names carry no scope (a scope in a received name is skipped).
struct NameServicePacket {
    NameServiceHeader header;
    std::vector<NameServiceQuestion> questions;
    std::vector<NameServiceRecord> answers;
    std::vector<NameServiceRecord> authorities;
    std::vector<NameServiceRecord> additionals;

    bool operator==(const NameServicePacket&) const = default;
};

std::string encodePacket(const NameServicePacket& packet);
// Nothing when the bytes are not one whole, well-formed packet.
std::optional<NameServicePacket> decodePacket(std::string_view bytes);

// --- record data ------------------------------------------------------------------------------

// NB_FLAGS of a name: the group bit, the owner type and the states of node status entries.
inline constexpr std::uint16_t kGroupFlag = 0x8000;
inline constexpr std::uint16_t kDeregisteringFlag = 0x1000;
inline constexpr std::uint16_t kConflictFlag = 0x0800;
inline constexpr std::uint16_t kActiveFlag = 0x0400;
inline constexpr std::uint16_t kPermanentFlag = 0x0200;

// One address of a name: what a name query answer holds, six bytes each.
struct NameAddress {
    std::uint16_t flags = 0;
    Ipv4Address address;

    bool operator==(const NameAddress&) const = default;
};

std::string encodeNameAddresses(const std::vector<NameAddress>& addresses);
// Nothing unless the data is a whole number of six-byte entries, at least one.
std::optional<std::vector<NameAddress>> decodeNameAddresses(std::string_view data);

struct NodeStatusName {
    NetbiosName name;
    std::uint16_t flags = 0;

    bool group() const { return (flags & kGroupFlag) != 0; }
    bool operator==(const NodeStatusName&) const = default;
};

// What a node tells about itself: its name table and, in the statistics that follow it, the
// unit identifier, which is its MAC address (all zeros from some nodes).
struct NodeStatus {
    std::vector<NodeStatusName> names;
    std::optional<MacAddress> unitId;  // missing when the answer ends before the statistics

    bool operator==(const NodeStatus&) const = default;
};

inline constexpr std::size_t kNodeStatusStatisticsLength = 46;

// The name count, 18 bytes per name, then the statistics with the unit identifier first.
std::string encodeNodeStatus(const NodeStatus& status);
// Nothing when the data holds fewer names than its count says.
std::optional<NodeStatus> decodeNodeStatus(std::string_view data);

// --- the packets the adapters and their test responder exchange --------------------------------

NameServicePacket nameQueryRequest(std::uint16_t transactionId, const NetbiosName& name,
                                   bool broadcast);
NameServicePacket nodeStatusRequest(std::uint16_t transactionId);
NameServicePacket nameQueryResponse(std::uint16_t transactionId, const NetbiosName& name,
                                    const std::vector<NameAddress>& addresses,
                                    std::uint32_t timeToLive);
NameServicePacket nodeStatusResponse(std::uint16_t transactionId, const NetbiosName& asked,
                                     const NodeStatus& status);

// The addresses of a positive answer to a name query, or the node status of a positive answer
// to a node status request; nothing for anything else (a request, a negative answer, an
// answer of another type).
std::optional<std::vector<NameAddress>> answeredAddresses(const NameServicePacket& packet);
std::optional<NodeStatus> answeredNodeStatus(const NameServicePacket& packet);

}  // namespace vt::adapters
