// The kernel's address and neighbour tables as the adapters read them from rtnetlink: the
// messages byte for byte (built with the kernel's own structures), lengths that lie, and the
// way an entry's state makes it "dynamique", "statique" or left out.

#include <gtest/gtest.h>

#include <linux/if_addr.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cstring>
#include <string>

#include "tools/adapters/interface_addresses.h"
#include "tools/adapters/neighbour_table.h"
#include "tools/adapters/netlink_dump.h"

namespace vt::adapters {
namespace {

using namespace std::string_literals;

template <typename T>
std::string bytesOf(const T& value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string attribute(std::uint16_t type, const std::string& data) {
    rtattr header{};
    header.rta_len = static_cast<unsigned short>(sizeof header + data.size());
    header.rta_type = type;
    std::string bytes = bytesOf(header) + data;
    bytes.resize(RTA_ALIGN(bytes.size()), '\0');
    return bytes;
}

std::string message(std::uint16_t type, const std::string& payload) {
    nlmsghdr header{};
    header.nlmsg_len = static_cast<std::uint32_t>(sizeof header + payload.size());
    header.nlmsg_type = type;
    std::string bytes = bytesOf(header) + payload;
    bytes.resize(NLMSG_ALIGN(bytes.size()), '\0');
    return bytes;
}

std::string neighbour(int index, std::uint16_t state, const std::string& attributes,
                      unsigned char family = AF_INET) {
    ndmsg header{};
    header.ndm_family = family;
    header.ndm_ifindex = index;
    header.ndm_state = state;
    return bytesOf(header) + attributes;
}

const std::string kDestination = attribute(NDA_DST, "\x0A\x00\x00\x11"s);
const std::string kLinkAddress = attribute(NDA_LLADDR, "\x00\x1A\x2B\x3C\x4D\x07"s);

Ipv4Address address(const char* text) {
    return *parseIpv4(text);
}

// --- netlink framing -----------------------------------------------------------------------

TEST(NetlinkMessagesTest, TakesTheWantedMessagesUntilTheEnd) {
    const std::string dump = message(RTM_NEWNEIGH, "one") + message(RTM_NEWLINK, "other") +
                             message(RTM_NEWNEIGH, "two") +
                             message(NLMSG_DONE, std::string(4, '\0'));
    const NetlinkBatch batch = parseNetlinkMessages(dump, RTM_NEWNEIGH);
    EXPECT_TRUE(batch.done);
    EXPECT_FALSE(batch.failed);
    EXPECT_EQ(batch.payloads, (std::vector<std::string>{"one", "two"}));
}

TEST(NetlinkMessagesTest, LengthsThatLieAndErrorsFailTheBatch) {
    std::string tooLong = message(RTM_NEWNEIGH, "payload");
    tooLong[0] = static_cast<char>(tooLong.size() + 4);  // nlmsg_len past the bytes
    EXPECT_TRUE(parseNetlinkMessages(tooLong, RTM_NEWNEIGH).failed);

    std::string tooShort = message(RTM_NEWNEIGH, "payload");
    tooShort[0] = 4;  // shorter than its own header
    EXPECT_TRUE(parseNetlinkMessages(tooShort, RTM_NEWNEIGH).failed);

    EXPECT_TRUE(
        parseNetlinkMessages(message(RTM_NEWNEIGH, "x").substr(0, 10), RTM_NEWNEIGH).failed);
    EXPECT_TRUE(
        parseNetlinkMessages(message(NLMSG_ERROR, std::string(20, '\xFF')), RTM_NEWNEIGH).failed);
    const NetlinkBatch unfinished = parseNetlinkMessages(message(RTM_NEWNEIGH, "a"), RTM_NEWNEIGH);
    EXPECT_FALSE(unfinished.done);
    EXPECT_FALSE(unfinished.failed);
}

TEST(NetlinkMessagesTest, AttributeWhoseLengthLiesStopsTheWalk) {
    std::string attributes = attribute(NDA_DST, "\x0A\x00\x00\x11"s) + attribute(NDA_LLADDR, "ab");
    attributes[sizeof(rtattr) + 4] = 0x7F;  // the second attribute claims 127 bytes
    int visited = 0;
    EXPECT_FALSE(
        forEachRouteAttribute(attributes, [&](std::uint16_t, std::string_view) { ++visited; }));
    EXPECT_EQ(visited, 1);
}

// --- neighbours ----------------------------------------------------------------------------

TEST(NeighbourTableTest, DecodesAnEntry) {
    const auto entry =
        decodeNeighbourMessage(neighbour(11, NUD_REACHABLE, kDestination + kLinkAddress));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->interfaceIndex, 11);
    EXPECT_EQ(entry->address, address("10.0.0.17"));
    EXPECT_EQ(entry->mac, (MacAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x07}));
}

TEST(NeighbourTableTest, RefusesWhatIsNotAWholeIpv4Entry) {
    EXPECT_FALSE(decodeNeighbourMessage(neighbour(1, NUD_REACHABLE, kLinkAddress)));  // no address
    EXPECT_FALSE(
        decodeNeighbourMessage(neighbour(1, NUD_REACHABLE, kDestination + kLinkAddress, AF_INET6)));
    EXPECT_FALSE(decodeNeighbourMessage(neighbour(1, 0, kDestination).substr(0, 8)));
    std::string lying = neighbour(1, NUD_REACHABLE, kDestination);
    lying[sizeof(ndmsg)] = 0x40;  // the address attribute claims more than there is
    EXPECT_FALSE(decodeNeighbourMessage(lying));
    // A link address that is not six bytes is no MAC address.
    const auto odd = decodeNeighbourMessage(
        neighbour(1, NUD_REACHABLE, kDestination + attribute(NDA_LLADDR, "\x01\x02\x03\x04"s)));
    ASSERT_TRUE(odd);
    EXPECT_FALSE(odd->mac);
}

struct KindCase {
    std::uint16_t state;
    const char* address;
    bool broadcast;
    bool withMac;
    NeighbourKind kind;
};

void PrintTo(const KindCase& c, std::ostream* out) {
    *out << "state 0x" << std::hex << c.state << std::dec << " " << c.address;
}

class NeighbourKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(NeighbourKindTest, StateAndAddressGiveTheKind) {
    const KindCase& c = GetParam();
    NeighbourEntry entry{2, address(c.address), std::nullopt, c.state};
    if (c.withMac) {
        entry.mac = MacAddress{0, 1, 2, 3, 4, 5};
    }
    EXPECT_EQ(neighbourKind(entry, c.broadcast), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    States, NeighbourKindTest,
    ::testing::Values(
        KindCase{NUD_REACHABLE, "10.0.0.1", false, true, NeighbourKind::Dynamic},
        KindCase{NUD_STALE, "10.0.0.1", false, true, NeighbourKind::Dynamic},
        KindCase{NUD_DELAY, "10.0.0.1", false, true, NeighbourKind::Dynamic},
        KindCase{NUD_PROBE, "10.0.0.1", false, true, NeighbourKind::Dynamic},
        KindCase{NUD_PERMANENT, "10.0.0.1", false, true, NeighbourKind::Static},
        KindCase{NUD_NOARP, "224.0.0.22", false, true, NeighbourKind::Static},
        KindCase{NUD_REACHABLE, "239.255.255.250", false, true, NeighbourKind::Static},
        KindCase{NUD_STALE, "10.0.0.255", true, true, NeighbourKind::Static},
        KindCase{NUD_REACHABLE, "255.255.255.255", false, true, NeighbourKind::Static},
        KindCase{NUD_FAILED, "10.0.0.1", false, true, NeighbourKind::Unusable},
        KindCase{NUD_INCOMPLETE, "10.0.0.1", false, false, NeighbourKind::Unusable},
        KindCase{NUD_REACHABLE, "10.0.0.1", false, false, NeighbourKind::Unusable},
        KindCase{NUD_NONE, "10.0.0.1", false, true, NeighbourKind::Unusable}));

TEST(NeighbourTableTest, MacOfAnAddressSkipsUnusableEntries) {
    const std::vector<NeighbourEntry> table{
        {1, address("10.0.0.5"), MacAddress{9, 9, 9, 9, 9, 9}, NUD_FAILED},
        {2, address("10.0.0.5"), MacAddress{1, 2, 3, 4, 5, 6}, NUD_STALE}};
    EXPECT_EQ(macOf(table, address("10.0.0.5")), (MacAddress{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(macOf(table, address("10.0.0.6")));
}

// --- interface addresses ------------------------------------------------------------------

std::string interfaceAddress(int index, int prefix, unsigned char scope,
                             const std::string& attributes) {
    ifaddrmsg header{};
    header.ifa_family = AF_INET;
    header.ifa_prefixlen = static_cast<unsigned char>(prefix);
    header.ifa_scope = scope;
    header.ifa_index = static_cast<unsigned>(index);
    return bytesOf(header) + attributes;
}

TEST(InterfaceAddressesTest, TheLocalAddressWinsOverThePeer) {
    const auto entry = decodeAddressMessage(interfaceAddress(
        3, 24, RT_SCOPE_UNIVERSE,
        attribute(IFA_ADDRESS, "\x0A\x00\x00\x63"s) + attribute(IFA_LOCAL, "\x0A\x00\x00\x02"s)));
    ASSERT_TRUE(entry);
    EXPECT_EQ(*entry, (InterfaceAddress{3, address("10.0.0.2"), 24, false}));
    EXPECT_EQ(entry->broadcast(), address("10.0.0.255"));
}

TEST(InterfaceAddressesTest, HostScopeIsLoopbackAndBadMessagesGiveNothing) {
    const auto loopback = decodeAddressMessage(
        interfaceAddress(1, 8, RT_SCOPE_HOST, attribute(IFA_LOCAL, "\x7F\x00\x00\x01"s)));
    ASSERT_TRUE(loopback);
    EXPECT_TRUE(loopback->loopback);
    EXPECT_FALSE(decodeAddressMessage(interfaceAddress(1, 33, 0, attribute(IFA_LOCAL, "abcd"))));
    EXPECT_FALSE(decodeAddressMessage(interfaceAddress(1, 24, 0, attribute(IFA_LOCAL, "abc"))));
    EXPECT_FALSE(decodeAddressMessage(interfaceAddress(1, 24, 0, "")));
}

TEST(InterfaceAddressesTest, BroadcastsOfTheLocalNetworksOnce) {
    const std::vector<InterfaceAddress> addresses{
        {1, address("127.0.0.1"), 8, true},
        {2, address("10.99.0.1"), 24, false},
        {2, address("10.99.0.7"), 24, false},  // same network
        {3, address("192.168.4.9"), 22, false},
        {4, address("172.16.0.1"), 32, false},  // no network to broadcast on
    };
    EXPECT_EQ(localBroadcasts(addresses),
              (std::vector<Ipv4Address>{address("10.99.0.255"), address("192.168.7.255")}));
    EXPECT_EQ(shownLocalAddress(addresses), address("10.99.0.1"));
    EXPECT_EQ(shownLocalAddress({addresses[0]}), address("127.0.0.1"));
    EXPECT_FALSE(shownLocalAddress({}));
}

}  // namespace
}  // namespace vt::adapters
