// The address lists of the cache tool: the clean-up passes on loading, checked against the
// pairwise passes they replace, and lookups at positions that follow the list's changes.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/ascii_text.h"
#include "tools/arpsift/address_list.h"
#include "tools/arpsift/list_cleanup.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {
namespace {

using Lines = std::vector<std::string>;

struct CleanupCase {
    bool macList;
    Lines file;
    Lines kept;
};

class ArpsiftCleanupTest : public ::testing::TestWithParam<CleanupCase> {};

TEST_P(ArpsiftCleanupTest, KeepsWhatTheFileFormatSays) {
    const CleanupCase& test = GetParam();
    EXPECT_EQ(test.macList ? cleanMacList(test.file) : cleanIpList(test.file), test.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArpsiftCleanupTest,
    ::testing::Values(
        CleanupCase{false, {"PC01 10.0.0.5", "", "pc01 10.0.0.7"}, {"pc01 10.0.0.7"}},
        CleanupCase{false, {"pc10 10.0.0.10", "pc1 10.0.0.1"}, {"pc10 10.0.0.10", "pc1 10.0.0.1"}},
        // equal MACs after the normal form, equal names after upper-casing
        CleanupCase{true, {"PC01 00-11-22-33-44-55", "PC02 00:11:22:33:44:55"}, {}},
        CleanupCase{true, {"PC03 00-11-22-33-44-66", "pc03 00-11-22-33-44-77"}, {}},
        CleanupCase{true, {" pc04 00:aa:bb:cc:dd:ee\t"}, {"PC04 00-AA-BB-CC-DD-EE"}},
        // pairs go: of three lines with one MAC the third stays
        CleanupCase{true, {"A M1", "B M1", "C M1"}, {"C M1"}}));

// The passes as the file format defines them: every pair of lines compared on their current
// contents, an emptied line reading as "".
Lines pairwiseIpCleanup(Lines lines) {
    for (std::string& line : lines) {
        line = platform::toLowerAscii(line);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t m = i + 1; m < lines.size(); ++m) {
            if (nameField(lines[i]) == nameField(lines[m])) {
                lines[i].clear();
            }
        }
    }
    std::erase(lines, std::string());
    return lines;
}

Lines pairwiseMacCleanup(Lines lines) {
    for (std::string& line : lines) {
        line = FormatMac(line);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t u = i + 1; u < lines.size(); ++u) {
            if (valueField(lines[i]) == valueField(lines[u]) ||
                nameField(lines[i]) == nameField(lines[u])) {
                lines[i].clear();
                lines[u].clear();
            }
        }
    }
    std::erase(lines, std::string());
    return lines;
}

// Small lists over a few words, so that names and MACs meet often, with lines without a
// blank, empty lines and blanks around.
TEST(ArpsiftCleanupEquivalenceTest, LinearPassesGiveWhatThePairwisePassesGive) {
    static const char* const kWords[] = {"pc1", "PC1", "pc2", "aa:bb", "AA-BB", "cc", "PC2"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 5000; ++round) {
        Lines lines(random() % 12);
        for (std::string& line : lines) {
            for (unsigned w = random() % 4; w > 0; --w) {
                line += std::string(kWords[random() % std::size(kWords)]) + (w > 1 ? " " : "");
            }
            line = (random() % 5 == 0 ? " " : "") + line;
        }
        ASSERT_EQ(cleanIpList(lines), pairwiseIpCleanup(lines)) << ::testing::PrintToString(lines);
        ASSERT_EQ(cleanMacList(lines), pairwiseMacCleanup(lines))
            << ::testing::PrintToString(lines);
    }
}

TEST(ArpsiftAddressListTest, LookupsFollowReplacementsRemovalsAndAppends) {
    AddressList list({"A 00:1a", "B 00-1B", "a 00-1C", "00-1D"}, AddressList::Keys::NamesAndMacs);
    EXPECT_EQ(list.findMac("00-1A"), 0u);  // both sides in the normal form
    EXPECT_EQ(list.findMac("00:1d"), 3u);  // a line without a name
    EXPECT_EQ(list.findMac("00-1"), std::nullopt);
    list.remove(0);
    EXPECT_EQ(list.findName("a"), 2u);  // the next line of the name comes up
    list.replace(1, "C 00-99");
    EXPECT_EQ(list.findName("B"), std::nullopt);
    EXPECT_EQ(list.findMac("00-1B"), std::nullopt);
    list.append("A 4");
    list.append("D 5");
    list.replace(5, "A 5");  // a name that comes again later still finds its first line
    EXPECT_EQ(list.findName("A"), 2u);
    list.remove(2);
    EXPECT_EQ(list.findName("A"), 4u);
    EXPECT_EQ(list.takeSortedLines(), (Lines{"00-1D", "A 4", "A 5", "C 00-99"}));
}

}  // namespace
}  // namespace vt::arpsift
