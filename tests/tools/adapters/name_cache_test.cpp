// The remote name cache file, the names the adapters refuse or leave out, and what a node
// status answer gives them to print and to remember.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "tests/support/temp_dir_test.h"
#include "tools/adapters/name_cache.h"
#include "tools/adapters/name_rules.h"
#include "tools/adapters/node_names.h"

namespace vt::adapters {
namespace {

constexpr std::int64_t kNow = 1765190400;

Ipv4Address address(const char* text) {
    return *parseIpv4(text);
}

// --- the file format -------------------------------------------------------------------------

TEST(NameCacheFormatTest, OneLinePerNameAndBack) {
    const std::vector<CachedName> names{{"PC07", 0x20, false, address("10.0.0.17"), kNow + 600},
                                        {"COLLEGE", 0x1C, true, address("10.0.0.1"), kNow + 12},
                                        {"MY PC", 0x00, false, address("10.0.0.3"), kNow + 1}};
    const std::string text = formatNameCache(names);
    EXPECT_EQ(text,
              "1765191000 10.0.0.17 20 U PC07\r\n"
              "1765190412 10.0.0.1 1C G COLLEGE\r\n"
              "1765190401 10.0.0.3 00 U MY PC\r\n");
    EXPECT_EQ(parseNameCache(text), names);
}

TEST(NameCacheFormatTest, LinesThatDoNotReadAreSkipped) {
    const std::string text =
        "1765191000 10.0.0.17 20 U PC07\r\n"
        "\r\n"
        "1765191000 10.0.0.17 20 U\r\n"                   // no name
        "-5 10.0.0.17 20 U PC07\r\n"                      // negative expiry
        "1765191000 10.0.0 20 U PC07\r\n"                 // not an address
        "1765191000 10.0.0.17 2G U PC07\r\n"              // not hexadecimal
        "1765191000 10.0.0.17 200 U PC07\r\n"             // three digits
        "1765191000 10.0.0.17 20 X PC07\r\n"              // neither unique nor group
        "1765191000 10.0.0.17 20 U ABCDEFGHIJKLMNOP\r\n"  // sixteen characters
        "99999999999999999999 10.0.0.17 20 U PC07\r\n"    // beyond any clock
        "1765191000\t10.0.0.17 20 U PC07\r\n" +
        std::string(100000, 'x') +
        "\n"
        "1765190500 10.0.0.22 00 g SALLE1-02\n"
        "1765190500 10.0.0.22 00 G SALLE1-02";
    EXPECT_EQ(parseNameCache(text),
              (std::vector<CachedName>{{"PC07", 0x20, false, address("10.0.0.17"), 1765191000},
                                       {"SALLE1-02", 0, true, address("10.0.0.22"), 1765190500}}));
}

TEST(NameCacheMergeTest, LapsedGoNewAreAddedLearnedAgainReplaceInPlace) {
    const std::vector<CachedName> cached{{"A", 0, false, address("10.0.0.1"), kNow + 5},
                                         {"B", 0, false, address("10.0.0.2"), kNow},  // lapsed
                                         {"C", 0x20, false, address("10.0.0.3"), kNow + 5}};
    const std::vector<CachedName> learned{{"C", 0x20, false, address("10.0.0.9"), kNow + 600},
                                          {"C", 0x00, false, address("10.0.0.9"), kNow + 600}};
    EXPECT_EQ(mergeLearnedNames(cached, learned, kNow),
              (std::vector<CachedName>{{"A", 0, false, address("10.0.0.1"), kNow + 5},
                                       {"C", 0x20, false, address("10.0.0.9"), kNow + 600},
                                       {"C", 0x00, false, address("10.0.0.9"), kNow + 600}}));
}

TEST(NameCacheMergeTest, BeyondTheLimitTheNamesClosestToLapsingGo) {
    std::vector<CachedName> cached;
    for (std::size_t i = 0; i < kMostCachedNames + 10; ++i) {
        // Expiries 1..N+10 after now, the first ten the shortest.
        cached.push_back({"N" + std::to_string(i), 0, false, address("10.0.0.1"),
                          kNow + 1 + static_cast<std::int64_t>(i)});
    }
    const std::vector<CachedName> kept = mergeLearnedNames(cached, {}, kNow);
    ASSERT_EQ(kept.size(), kMostCachedNames);
    EXPECT_EQ(kept.front().name, "N10");
    EXPECT_EQ(kept.back().name, "N" + std::to_string(kMostCachedNames + 9));

    std::vector<CachedName> equal(kMostCachedNames + 3,
                                  CachedName{"E", 0, false, address("10.0.0.1"), kNow + 9});
    EXPECT_EQ(mergeLearnedNames(equal, {}, kNow).size(), kMostCachedNames);
}

// --- the file on drive C ---------------------------------------------------------------------

class NameCacheFileTest : public test::TempDirTest {};

TEST_F(NameCacheFileTest, RemembersOnDriveCForSixHundredSeconds) {
    NameCache cache(files());
    std::string error;
    ASSERT_TRUE(cache.remember({{"PC07", 0x00, false, address("10.0.0.17"), 0}}, kNow, error))
        << error;
    EXPECT_EQ(readBytes("drive_c/vt_nbtnames.cache"), "1765191000 10.0.0.17 00 U PC07\r\n");
    EXPECT_EQ(cache.liveNames(kNow + 599).size(), 1U);
    EXPECT_TRUE(cache.liveNames(kNow + 600).empty());
    // A later update drops what has lapsed by then.
    ASSERT_TRUE(
        cache.remember({{"PC08", 0x00, false, address("10.0.0.18"), 0}}, kNow + 600, error));
    EXPECT_EQ(readBytes("drive_c/vt_nbtnames.cache"), "1765191600 10.0.0.18 00 U PC08\r\n");
}

TEST_F(NameCacheFileTest, NoUpdateIsLostWhenManyWriteAtOnce) {
    constexpr int kWriters = 8;
    constexpr int kNamesEach = 40;
    std::vector<std::thread> writers;
    std::vector<std::string> errors(kWriters);
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            // Each writer has its own platform, as each adapter process has.
            const auto native = platform::createNativePlatform(
                platform::PlatformConfig{driveC(), uncRoot(), test::binDir()});
            NameCache cache(native->platform().files);
            for (int n = 0; n < kNamesEach; ++n) {
                const std::string name = "W" + std::to_string(w) + "N" + std::to_string(n);
                cache.remember({{name, 0, false, address("10.0.0.1"), 0}}, kNow, errors[w]);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    for (const std::string& error : errors) {
        EXPECT_EQ(error, "");
    }
    EXPECT_EQ(NameCache(files()).liveNames(kNow).size(),
              static_cast<std::size_t>(kWriters * kNamesEach));
}

// Another adapter holding the lock: the update waits for it, and gives up once the wait is
// too long rather than hanging.
TEST_F(NameCacheFileTest, UpdateWaitsForTheLockAndGivesUpAfterFiveSeconds) {
    const std::vector<CachedName> learned{{"PC07", 0, false, address("10.0.0.17"), 0}};
    const int holder =
        ::open(files().nativePath(kNameCacheLockPath).c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    std::string error;
    auto began = std::chrono::steady_clock::now();
    EXPECT_FALSE(NameCache(files()).remember(learned, kNow, error));
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(4900));
    EXPECT_EQ(error, "cache des noms verrouillé par un autre programme");
    EXPECT_FALSE(files().exists(kNameCachePath));

    const std::jthread release([holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::close(holder);
    });
    began = std::chrono::steady_clock::now();
    EXPECT_TRUE(NameCache(files()).remember(learned, kNow, error)) << error;
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2));
    EXPECT_EQ(NameCache(files()).liveNames(kNow).size(), 1U);
}

TEST_F(NameCacheFileTest, UnwritableCacheIsReportedNotIgnored) {
    writeBytes("drive_c/vt_nbtnames.cache", "");
    ASSERT_TRUE(files().setReadOnly("c:\\vt_nbtnames.cache", true));
    std::string error;
    EXPECT_FALSE(
        NameCache(files()).remember({{"PC07", 0, false, address("10.0.0.17"), 0}}, kNow, error));
    EXPECT_NE(error.find("impossible d'écrire le cache des noms"), std::string::npos) << error;
}

// --- names refused on the command line -----------------------------------------------------

TEST(NameRulesTest, CommandLineNamesThatAreRefused) {
    for (const std::string& name :
         {std::string(),         std::string(256, 'A'), std::string("a&b"),
          std::string("a|b"),    std::string("a>b"),    std::string("a<b"),
          std::string("a^b"),    std::string("%PATH%"), std::string("PC03*"),
          std::string("PC?"),    std::string("\"PC\""), std::string("x;y"),
          std::string("$x"),     std::string("`x`"),    std::string("(x)"),
          std::string("a\\b"),   std::string("a/b"),    std::string("!x"),
          std::string("a,b"),    std::string("a=b"),    std::string("PC\x01"),
          std::string("PC\t07"), std::string("PC\x7F")}) {
        EXPECT_TRUE(refusalOfName(name)) << name;
    }
    for (const std::string& name :
         {std::string("PC07"), std::string("pc-07.college.lan"), std::string("SALLE1_02"),
          std::string(255, 'A'), std::string("10.0.0.17"),
          std::string("\xC9"
                      "COLE")}) {
        EXPECT_FALSE(refusalOfName(name)) << name;
    }
    EXPECT_EQ(refusalOfName(std::string(256, 'A')), "nom trop long (plus de 255 caractères)");
    EXPECT_EQ(refusalOfName("a&b"), "caractère interdit dans le nom : &");
}

// --- what a node status answer gives ---------------------------------------------------------

TEST(NodeNamesTest, RowsCacheAndServerNameWithTheBadNamesLeftOut) {
    NodeStatus status;
    status.names = {{NetbiosName{"COLLEGE", 0x20}, kGroupFlag | kActiveFlag},  // a group <20>
                    {NetbiosName{"PC07", 0x00}, kActiveFlag},
                    {NetbiosName{"PC&DEL", 0x20}, kActiveFlag},
                    {NetbiosName{"PC07", 0x20}, kConflictFlag},
                    {NetbiosName{"\x01\x02__MSBROWSE__\x02", 0x01}, kGroupFlag | kActiveFlag}};
    const NodeNames names = namesOfNode(status, address("10.0.0.17"));
    ASSERT_EQ(names.rows.size(), 4U);
    EXPECT_EQ(names.rows[1].name, "PC07");
    EXPECT_EQ(names.rows[2].state, NameState::Conflict);
    EXPECT_EQ(names.rows[3].name, "..__MSBROWSE__.");
    EXPECT_TRUE(names.rows[3].group);
    EXPECT_EQ(names.server, "PC07");
    EXPECT_EQ(names.refused, (std::vector<std::string>{"PC&DEL"}));
    ASSERT_EQ(names.learned.size(), 4U);
    EXPECT_EQ(names.learned[1], (CachedName{"PC07", 0x00, false, address("10.0.0.17"), 0}));
    EXPECT_EQ(refusedNamesMessage(names, address("10.0.0.17")),
              "noms NetBIOS de 10.0.0.17 ignorés (caractères interdits) : PC&DEL");
}

TEST(NodeNamesTest, NodeWithoutAUniqueTwentyIsNoServer) {
    NodeStatus status;
    status.names = {{NetbiosName{"PC09", 0x00}, kActiveFlag},
                    {NetbiosName{"COLLEGE", 0x20}, kGroupFlag}};
    EXPECT_FALSE(namesOfNode(status, address("10.0.0.9")).server);
}

}  // namespace
}  // namespace vt::adapters
