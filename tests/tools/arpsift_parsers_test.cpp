// What the cache tool reads in the command outputs and in a DHCP leases file.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tools/arpsift/cache_parsers.h"
#include "tools/arpsift/dhcp_leases.h"

namespace vt::arpsift {

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
        CacheLineCase{"PC07 <20> UNIQUE 10.0.0.17", {"=PC07"}, {}},  // no blank after it
        // the master browser's role, a user's name
        CacheLineCase{"    COLLEGE        <1D>  UNIQUE          10.0.0.11           600", {}, {}},
        CacheLineCase{"    JDUPONT        <03>  UNIQUE          10.0.0.11           600", {}, {}},
        // a name that holds what a row holds is read whole
        CacheLineCase{
            "    PC<00> UNIQUE X <00>  UNIQUE  10.0.0.5  600", {"10.0.0.5=PC<00> UNIQUE X"}, {}},
        CacheLineCase{"  10.0.0.17             00-1a-2b-3c-4d-5e     dynamique",
                      {},
                      {"10.0.0.17=00-1A-2B-3C-4D-5E"}},
        CacheLineCase{"  10.0.0.255            ff-ff-ff-ff-ff-ff     statique", {}, {}}));

const Lines kHeader = {"# dhcpd.leases", "authoring-byte-order little-endian;", ""};
const LeaseRecord kPc30{"10.0.0.30", "00:1a:2b:3c:4d:5f", "pc30"};

struct LeaseCase {
    Lines block;
    std::vector<LeaseRecord> records;
};

class ArpsiftLeaseBlockTest : public ::testing::TestWithParam<LeaseCase> {};

TEST_P(ArpsiftLeaseBlockTest, GivesTheBlocksRecords) {
    Lines lines = kHeader;
    lines.insert(lines.end(), GetParam().block.begin(), GetParam().block.end());
    EXPECT_EQ(leaseRecords(lines), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArpsiftLeaseBlockTest,
    ::testing::Values(
        // its "}" on the last line of the file
        LeaseCase{{"lease 10.0.0.30 {", " hardware ethernet 00:1a:2b:3c:4d:5f;",
                   " client-hostname \"pc30\";", "}"},
                  {kPc30}},
        LeaseCase{{"lease 10.0.0.30 {", " client-hostname \"pc30\";",
                   " hardware ethernet 00:1a:2b:3c:4d:5f;", "}"},
                  {}},
        // a block that never closes ends the walk
        LeaseCase{{"lease 10.0.0.30 {", " hardware ethernet 00:1a:2b:3c:4d:5f;",
                   " client-hostname \"pc30\";"},
                  {}},
        // quotes missing: no name; no semicolon or blank before the brace
        LeaseCase{{"lease 10.0.0.30{", " hardware ethernet 00:1a:2b:3c:4d:5f",
                   " client-hostname \"pc30;", "}"},
                  {{"10.0.0.30", "00:1a:2b:3c:4d:5f", ""}}}));

}  // namespace
}  // namespace vt::arpsift
