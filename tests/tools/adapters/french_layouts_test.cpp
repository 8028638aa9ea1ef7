// The adapters' outputs against the French Windows outputs of tests/fixtures/windows-fr,
// byte for byte: the layouts the system's parsers read.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fixture_files.h"
#include "tools/adapters/french_layouts.h"

namespace vt::adapters {
namespace {

std::string fixture(const std::string& name) {
    return test::fixtureBytes("windows-fr/" + name);
}

Ipv4Address address(const char* text) {
    return *parseIpv4(text);
}

const Ipv4Address kLocal = address("10.0.0.2");
constexpr std::int64_t kNow = 1765190400;

TEST(FrenchLayoutsTest, NodeStatusAsNbtstatA) {
    const std::vector<NameTableRow> rows{{"SALLE1-02", 0x00, false},
                                         {"COLLEGE", 0x00, true},
                                         {"SALLE1-02", 0x20, false},
                                         {"COLLEGE", 0x1E, true}};
    EXPECT_EQ(nodeStatusLayout(kLocal, rows, MacAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}),
              fixture("nbtstat-a.txt"));
}

TEST(FrenchLayoutsTest, NodeStatusWithTheGroupFirst) {
    const std::vector<NameTableRow> rows{
        {"COLLEGE", 0x00, true}, {"PC07", 0x00, false}, {"PC07", 0x20, false}};
    EXPECT_EQ(nodeStatusLayout(kLocal, rows, MacAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x07}),
              fixture("nbtstat-a-group-first.txt"));
}

TEST(FrenchLayoutsTest, HostNotFound) {
    EXPECT_EQ(hostNotFoundLayout(kLocal), fixture("nbtstat-a-not-found.txt"));
}

TEST(FrenchLayoutsTest, RemoteCacheWithRemainingLifetimes) {
    const std::vector<CachedName> names{
        {"PC07", 0x00, false, address("10.0.0.17"), kNow + 600},
        {"OLD", 0x00, false, address("10.0.0.9"), kNow},  // lapsed: not shown
        {"PC07", 0x20, false, address("10.0.0.17"), kNow + 600},
        {"SALLE1-02", 0x00, false, address("10.0.0.22"), kNow + 412},
        {"COLLEGE", 0x1C, true, address("10.0.0.1"), kNow + 600}};
    EXPECT_EQ(remoteCacheLayout(kLocal, names, kNow), fixture("nbtstat-c.txt"));
}

TEST(FrenchLayoutsTest, EmptyRemoteCache) {
    EXPECT_EQ(remoteCacheLayout(kLocal, {}, kNow), fixture("nbtstat-c-empty.txt"));
    EXPECT_EQ(remoteCacheLayout(kLocal, {{"OLD", 0, false, address("10.0.0.9"), kNow - 1}}, kNow),
              fixture("nbtstat-c-empty.txt"));
}

TEST(FrenchLayoutsTest, EmptyServerList) {
    EXPECT_EQ(serverListLayout({}), fixture("net-view-empty.txt"));
}

// The fixture's machines have remarks, which the adapter never prints; its header, its line
// without a remark and its closing lines are the adapter's, byte for byte.
TEST(FrenchLayoutsTest, ServerListFramesTheNames) {
    const std::string windows = fixture("net-view.txt");
    const std::size_t headerEnd = windows.find("\\\\");
    const std::size_t closing = windows.find("La commande");
    ASSERT_NE(headerEnd, std::string::npos);
    ASSERT_NE(closing, std::string::npos);
    const std::string salleLine = "\\\\SALLE1-02               \r\n";
    ASSERT_NE(windows.find(salleLine), std::string::npos);

    EXPECT_EQ(serverListLayout({"SALLE1-02"}),
              windows.substr(0, headerEnd) + salleLine + windows.substr(closing));
}

TEST(FrenchLayoutsTest, ServerNameIsAlwaysFollowedByABlank) {
    const std::string list = serverListLayout({"PROF-SALLE1", std::string(24, 'L'), "X"});
    EXPECT_NE(list.find("\r\n\\\\PROF-SALLE1" + std::string(13, ' ') + "\r\n"), std::string::npos);
    EXPECT_NE(list.find("\r\n\\\\" + std::string(24, 'L') + " \r\n"), std::string::npos);
    EXPECT_NE(list.find("\r\n\\\\X" + std::string(23, ' ') + "\r\n"), std::string::npos);
}

TEST(FrenchLayoutsTest, ArpTableOfOneInterface) {
    const std::vector<ArpInterface> interfaces{
        {kLocal,
         0xb,
         {{address("10.0.0.1"), {0x00, 0x0c, 0x29, 0xaa, 0xbb, 0xcc}, true},
          {address("10.0.0.17"), {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x07}, true},
          {address("10.0.0.22"), {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, true},
          {address("10.0.0.255"), {0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, false},
          {address("224.0.0.22"), {0x01, 0x00, 0x5e, 0x00, 0x00, 0x16}, false},
          {address("239.255.255.250"), {0x01, 0x00, 0x5e, 0x7f, 0xff, 0xfa}, false}}}};
    EXPECT_EQ(arpLayout(interfaces), fixture("arp-a.txt"));
}

TEST(FrenchLayoutsTest, ArpTableOfTwoInterfacesAndTheEmptyTable) {
    const std::vector<ArpInterface> interfaces{
        {kLocal, 2, {{address("10.0.0.1"), {0, 0x0c, 0x29, 0xaa, 0xbb, 0xcc}, true}}},
        {address("192.168.1.5"), 0x1c, {{address("192.168.1.1"), {2, 0, 0, 0, 0, 1}, false}}}};
    EXPECT_EQ(arpLayout(interfaces),
              "\r\nInterface : 10.0.0.2 --- 0x2\r\n"
              "  Adresse Internet      Adresse physique      Type\r\n"
              "  10.0.0.1              00-0c-29-aa-bb-cc     dynamique\r\n"
              "\r\nInterface : 192.168.1.5 --- 0x1c\r\n"
              "  Adresse Internet      Adresse physique      Type\r\n"
              "  192.168.1.1           02-00-00-00-00-01     statique\r\n"
              "\r\n");
    EXPECT_EQ(noArpEntryLayout(),
              "Aucune entr\xE9"
              "e ARP trouv\xE9"
              "e.\r\n");
}

TEST(FrenchLayoutsTest, NamesKeepTheirWindows1252BytesAndStates) {
    const std::vector<NameTableRow> rows{{"\xC9"
                                          "COLE",
                                          0x00, false, NameState::Conflict},
                                         {"GROUPE", 0x1D, false, NameState::Deregistering}};
    const std::string table = nodeStatusLayout(kLocal, rows, MacAddress{});
    EXPECT_NE(table.find("    \xC9"
                         "COLE          <00>  UNIQUE      Conflit\r\n"),
              std::string::npos);
    EXPECT_NE(table.find("    GROUPE         <1D>  UNIQUE      D\xE9"
                         "sinscription\r\n"),
              std::string::npos);
    EXPECT_NE(table.find("Adresse MAC = 00-00-00-00-00-00\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vt::adapters
