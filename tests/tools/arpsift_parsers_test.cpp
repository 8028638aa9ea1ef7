// What the cache tool reads in the command outputs and in a DHCP leases file, on single lines,
// on the fixture files, and on input that is not what it should be.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "tests/support/fixture_files.h"
#include "tools/arpsift/cache_parsers.h"
#include "tools/arpsift/dhcp_leases.h"
#include "tools/arpsift/list_cleanup.h"

namespace vt::arpsift {

// Shown by name when a comparison of lease records fails.
void PrintTo(const LeaseRecord& lease, std::ostream* out) {
    *out << "{" << lease.ip << ", " << lease.mac << ", " << lease.name << "}";
}
bool operator==(const LeaseRecord& a, const LeaseRecord& b) {
    return a.ip == b.ip && a.mac == b.mac && a.name == b.name;
}

namespace {

using Lines = std::vector<std::string>;

struct CacheLineCase {
    const char* line;
    Lines nameEntries;
    Lines macEntries;
};

class ArpsiftCacheLineTest : public ::testing::TestWithParam<CacheLineCase> {};

TEST_P(ArpsiftCacheLineTest, GivesItsTableEntries) {
    EXPECT_EQ(nameCacheEntries({GetParam().line}), GetParam().nameEntries);
    EXPECT_EQ(arpCacheEntries({GetParam().line}), GetParam().macEntries);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArpsiftCacheLineTest,
    ::testing::Values(
        CacheLineCase{"    PC07           <00>  UNIQUE          10.0.0.17           600",
                      {"10.0.0.17=PC07"},
                      {}},
        CacheLineCase{"    COLLEGE        <1C>  GROUPE          10.0.0.1            600", {}, {}},
        // no blank after the address: no address
        CacheLineCase{"PC07 <20> UNIQUE 10.0.0.17", {"=PC07"}, {}},
        // no suffix: no name
        CacheLineCase{"PC07 UNIQUE 10.0.0.17 600", {"10.0.0.17="}, {}},
        CacheLineCase{"  10.0.0.17             00-1a-2b-3c-4d-5e     dynamique",
                      {},
                      {"10.0.0.17=00-1A-2B-3C-4D-5E"}},
        CacheLineCase{"10.0.0.17 00:1a:2b:3c:4d:5e dynamique", {}, {"10.0.0.17=00-1A-2B-3C-4D-5E"}},
        CacheLineCase{"  10.0.0.255            ff-ff-ff-ff-ff-ff     statique", {}, {}},
        CacheLineCase{"Interface : 10.0.0.2 --- 0xb", {}, {}},
        CacheLineCase{"dynamique", {}, {"="}}));

TEST(ArpsiftCacheFileTest, ReadsTheFixtureLayouts) {
    EXPECT_EQ(nameCacheEntries(test::fixtureLines("windows-fr/nbtstat-c.txt")),
              (Lines{"10.0.0.17=PC07", "10.0.0.17=PC07", "10.0.0.22=SALLE1-02"}));
    EXPECT_EQ(nameCacheEntries(test::fixtureLines("windows-fr/nbtstat-c-empty.txt")), Lines{});
    EXPECT_EQ(arpCacheEntries(test::fixtureLines("windows-fr/arp-a.txt")),
              (Lines{"10.0.0.1=00-0C-29-AA-BB-CC", "10.0.0.17=00-1A-2B-3C-4D-07",
                     "10.0.0.22=00-1A-2B-3C-4D-5E"}));
    EXPECT_EQ(firstUniqueName(test::fixtureLines("windows-fr/nbtstat-a.txt")), "SALLE1-02");
    EXPECT_EQ(firstUniqueName(test::fixtureLines("windows-fr/nbtstat-a-group-first.txt")), "PC07");
    EXPECT_EQ(firstUniqueName(test::fixtureLines("windows-fr/nbtstat-a-not-found.txt")),
              std::nullopt);
}

// --- leases -------------------------------------------------------------------------------

const Lines kHeader = {"# dhcpd.leases", "authoring-byte-order little-endian;", ""};

Lines withHeader(const Lines& block) {
    Lines lines = kHeader;
    lines.insert(lines.end(), block.begin(), block.end());
    return lines;
}

TEST(ArpsiftLeasesTest, ReadsTheFixtureInFileOrder) {
    EXPECT_EQ(leaseRecords(test::fixtureLines("http/dhcpd.leases")),
              (std::vector<LeaseRecord>{{"10.0.0.30", "00:1a:2b:3c:4d:5f", "pc30"},
                                        {"10.0.0.31", "00:1a:2b:3c:4d:60", "SALLE1-07"},
                                        {"10.0.0.31", "00:1a:2b:3c:4d:60", "SALLE1-07"}}));
}

struct LeaseCase {
    const char* what;
    Lines lines;
    std::vector<LeaseRecord> records;
};

class ArpsiftLeaseBlockTest : public ::testing::TestWithParam<LeaseCase> {};

TEST_P(ArpsiftLeaseBlockTest, GivesTheBlocksRecords) {
    EXPECT_EQ(leaseRecords(GetParam().lines), GetParam().records) << GetParam().what;
}

const LeaseRecord kPc30{"10.0.0.30", "00:1a:2b:3c:4d:5f", "pc30"};

INSTANTIATE_TEST_SUITE_P(
    Table, ArpsiftLeaseBlockTest,
    ::testing::Values(
        LeaseCase{"closing brace on the last line",
                  withHeader({"lease 10.0.0.30 {", "  hardware ethernet 00:1a:2b:3c:4d:5f;",
                              "  client-hostname \"pc30\";", "}"}),
                  {kPc30}},
        LeaseCase{"hostname before ethernet",
                  withHeader({"lease 10.0.0.30 {", "  client-hostname \"pc30\";",
                              "  hardware ethernet 00:1a:2b:3c:4d:5f;", "}"}),
                  {}},
        LeaseCase{"a block that never closes ends the walk",
                  withHeader({"lease 10.0.0.30 {", "  hardware ethernet 00:1a:2b:3c:4d:5f;",
                              "  client-hostname \"pc30\";"}),
                  {}},
        LeaseCase{"an unclosed block runs into the next one's brace",
                  withHeader({"lease 10.0.0.29 {", "  hardware ethernet aa;", "lease 10.0.0.30 {",
                              "  hardware ethernet 00:1a:2b:3c:4d:5f;",
                              "  client-hostname \"pc30\";", "}"}),
                  {{"10.0.0.29", "aa", "pc30"}}},
        LeaseCase{"a block without hostname is skipped up to its brace",
                  withHeader({"lease 10.0.0.40 {", "  hardware ethernet 00:1a:2b:3c:4d:61;", "}",
                              "lease 10.0.0.30 {", "  hardware ethernet 00:1a:2b:3c:4d:5f;",
                              "  client-hostname \"pc30\";", "}"}),
                  {kPc30}},
        LeaseCase{"quotes missing: no name",
                  withHeader({"lease 10.0.0.30 {", "  hardware ethernet 00:1a:2b:3c:4d:5f;",
                              "  client-hostname \"pc30;", "}"}),
                  {{"10.0.0.30", "00:1a:2b:3c:4d:5f", ""}}},
        LeaseCase{"no semicolon, no blank before the brace",
                  withHeader({"lease 10.0.0.30{", "hardware ethernet 00:1a:2b:3c:4d:5f",
                              "client-hostname \" pc30 \"", "}"}),
                  {kPc30}},
        LeaseCase{"fewer than four lines",
                  {"lease 10.0.0.30 {", "hardware ethernet 00:1a:2b:3c:4d:5f;",
                   "client-hostname \"pc30\"; }"},
                  {}}));

// Random bytes, huge lines and NUL bytes give whatever they give, without a crash and in a
// time that grows with the input only.
TEST(ArpsiftBadInputTest, ParsersAndCleanupsTakeAnyBytes) {
    std::mt19937 random(7);
    const char* const kSeeds[] = {"UNIQUE", "dynamique", "lease", "{", "}", "ethernet", "hostname",
                                  "\"",     ";",         "<",     " ", "=", ":",        "\0"};
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const std::size_t size = random() % 4000;
        while (bytes.size() < size) {
            if (random() % 4 == 0) {
                bytes += kSeeds[random() % std::size(kSeeds)];
            } else {
                bytes += static_cast<char>(random());
            }
        }
        const Lines lines = platform::splitLines(platform::fromWindows1252(bytes));
        nameCacheEntries(lines);
        arpCacheEntries(lines);
        firstUniqueName(lines);
        leaseRecords(lines);
        cleanIpList(lines);
        cleanMacList(lines);
    }
    const std::string huge(4 << 20, 'x');
    const Lines hugeLines = {huge + "<00> UNIQUE " + huge,
                             "lease " + huge + " {",
                             "ethernet " + huge,
                             "hostname \"" + huge + "\"",
                             "}",
                             std::string("a\0b 1", 5)};
    EXPECT_EQ(nameCacheEntries(hugeLines).front().size(), huge.size() + 1);  // "=" + name
    EXPECT_EQ(leaseRecords(hugeLines).size(), 1u);
    EXPECT_EQ(cleanIpList(hugeLines).back(), std::string("a\0b 1", 5));
}

}  // namespace
}  // namespace vt::arpsift
