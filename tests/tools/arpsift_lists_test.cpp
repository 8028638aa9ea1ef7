// The address lists of the cache tool: fields, the MAC normal form, the clean-up passes on
// loading (checked against the pairwise passes they replace), indexed lookups and the sort.

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

TEST(ArpsiftFieldsTest, SplitLinesAtTheFirstBlankOrEquals) {
    EXPECT_EQ(nameField("pc07 10.0.0.17 x"), "pc07");
    EXPECT_EQ(valueField("pc07 10.0.0.17 x"), "10.0.0.17 x");
    EXPECT_EQ(nameField("10.0.0.17"), "");
    EXPECT_EQ(valueField("10.0.0.17"), "10.0.0.17");
    EXPECT_EQ(valueField("pc " + std::string(300, 'a')), std::string(255, 'a'));
    std::string accents;
    for (int i = 0; i < 300; ++i) {
        accents += "\xC3\xA9";  // counted in characters, not bytes
    }
    EXPECT_EQ(valueField("pc " + accents), accents.substr(0, 510));
    EXPECT_EQ(tableKey("10.0.0.17=PC07=x"), "10.0.0.17");
    EXPECT_EQ(tableValue("10.0.0.17=PC07=x"), "PC07=x");
    EXPECT_EQ(tableValue("no-equals"), "");
}

TEST(ArpsiftFieldsTest, FormatMacGivesOneNormalForm) {
    EXPECT_EQ(FormatMac("00:0c:29:1a:2b:3c"), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(FormatMac(" \t00-0c-29-1a-2b-3c\r"), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(FormatMac("pc01 aa:bb"), "PC01 AA-BB");
    EXPECT_EQ(FormatMac("\xC3\xA9t\xC3\xA9"), "\xC3\xA9T\xC3\xA9");  // only ASCII letters change
    EXPECT_EQ(FormatMac(""), "");
}

// --- clean-up on loading ------------------------------------------------------------------

struct CleanupCase {
    const char* what;
    Lines file;
    Lines kept;
};

class ArpsiftIpCleanupTest : public ::testing::TestWithParam<CleanupCase> {};
class ArpsiftMacCleanupTest : public ::testing::TestWithParam<CleanupCase> {};

TEST_P(ArpsiftIpCleanupTest, KeepsTheLastLineOfEachName) {
    EXPECT_EQ(cleanIpList(GetParam().file), GetParam().kept) << GetParam().what;
}

TEST_P(ArpsiftMacCleanupTest, DropsConflictsInPairs) {
    EXPECT_EQ(cleanMacList(GetParam().file), GetParam().kept) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArpsiftIpCleanupTest,
    ::testing::Values(
        CleanupCase{"one name twice", {"PC01 10.0.0.5", "pc01 10.0.0.7"}, {"pc01 10.0.0.7"}},
        CleanupCase{"three times, others kept in order",
                    {"a 1", "PC01 2", "b 3", "pc01 4", "Pc01 5"},
                    {"a 1", "b 3", "pc01 5"}},
        CleanupCase{"empty lines go", {"", "a 1", "", "b 2", ""}, {"a 1", "b 2"}},
        CleanupCase{"names without blank count as one empty name",
                    {"10.0.0.1", "a 1", "10.0.0.2"},
                    {"a 1", "10.0.0.2"}},
        CleanupCase{"PC1 is not PC10",
                    {"pc10 10.0.0.10", "pc1 10.0.0.1"},
                    {"pc10 10.0.0.10", "pc1 10.0.0.1"}}));

INSTANTIATE_TEST_SUITE_P(
    Table, ArpsiftMacCleanupTest,
    ::testing::Values(
        CleanupCase{"equal MACs after the normal form",
                    {"PC01 00-11-22-33-44-55", "PC02 00:11:22:33:44:55"},
                    {}},
        CleanupCase{"equal names after upper-casing",
                    {"PC03 00-11-22-33-44-66", "pc03 00-11-22-33-44-77"},
                    {}},
        CleanupCase{"normal form of kept lines",
                    {" pc04 00:aa:bb:cc:dd:ee ", "pc05 00-aa-bb-cc-dd-ef"},
                    {"PC04 00-AA-BB-CC-DD-EE", "PC05 00-AA-BB-CC-DD-EF"}},
        CleanupCase{
            "three lines with one MAC: the third stays", {"A M1", "B M1", "C M1"}, {"C M1"}},
        CleanupCase{"a chain: the pair goes, the line sharing with a gone one stays",
                    {"A M1", "A M2", "B M2"},
                    {"B M2"}},
        CleanupCase{"two nameless lines pair", {"X", "pc1 m", "Y"}, {"PC1 M"}},
        CleanupCase{"a nameless line after a gone pair goes", {"a m", "b m", "c n", "X"}, {"C N"}},
        CleanupCase{"a lone nameless line before any conflict stays",
                    {"X", "a m", "b n"},
                    {"X", "A M", "B N"}}));

// The passes as the file format defines them: every pair of lines compared, on their current
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
Lines randomList(std::mt19937& random) {
    static const char* const kWords[] = {"pc1", "PC1", "pc2", "aa:bb", "AA-BB", "cc", "PC2"};
    Lines lines(random() % 12);
    for (std::string& line : lines) {
        const unsigned words = random() % 4;
        for (unsigned w = 0; w < words; ++w) {
            line += (w > 0 ? " " : "") + std::string(kWords[random() % std::size(kWords)]);
        }
        if (random() % 5 == 0) {
            line = " " + line;
        }
    }
    return lines;
}

TEST(ArpsiftCleanupEquivalenceTest, LinearPassesGiveWhatThePairwisePassesGive) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        const Lines lines = randomList(random);
        ASSERT_EQ(cleanIpList(lines), pairwiseIpCleanup(lines)) << ::testing::PrintToString(lines);
        ASSERT_EQ(cleanMacList(lines), pairwiseMacCleanup(lines))
            << ::testing::PrintToString(lines);
    }
}

// --- lookups and changes --------------------------------------------------------------------

TEST(ArpsiftAddressListTest, NamesMatchTheWholeNameFieldWithoutRegardToCase) {
    const AddressList list({"pc10 10.0.0.10", "pc1 10.0.0.1", "10.0.0.9", "PC1 10.0.0.2"},
                           AddressList::Keys::Names);
    EXPECT_EQ(list.findName("PC1"), 1u);  // not pc10 above it, and the first of two
    EXPECT_EQ(list.findName("pc10"), 0u);
    EXPECT_EQ(list.findName("pc"), std::nullopt);
    EXPECT_EQ(list.findName("10.0.0.9"), std::nullopt);
    EXPECT_EQ(list.findName(""), std::nullopt);
}

TEST(ArpsiftAddressListTest, MacsMatchInTheNormalFormOnBothSides) {
    const AddressList list(
        {"PC30 00:1a:2b:3c:4d:5f", "PC31 00-1A-2B-3C-4D-60", "00-1A-2B-3C-4D-61"},
        AddressList::Keys::NamesAndMacs);
    EXPECT_EQ(list.findMac("00-1A-2B-3C-4D-5F"), 0u);
    EXPECT_EQ(list.findMac("00:1a:2b:3c:4d:60"), 1u);
    EXPECT_EQ(list.findMac("00-1A-2B-3C-4D-6"), std::nullopt);  // no substring match
    EXPECT_EQ(list.findMac("00-1A-2B-3C-4D-61"), 2u);           // a line without a name
    EXPECT_EQ(list.findMac(" "), std::nullopt);
}

TEST(ArpsiftAddressListTest, PositionsAndKeysFollowReplacementsRemovalsAndAppends) {
    AddressList list({"A 1", "B 2", "a 3"}, AddressList::Keys::NamesAndMacs);
    list.remove(0);
    EXPECT_EQ(list.findName("a"), 2u);  // the next line of the name comes up
    list.replace(1, "C 9");
    EXPECT_EQ(list.findName("B"), std::nullopt);
    EXPECT_EQ(list.findName("c"), 1u);
    EXPECT_EQ(list.findMac("9"), 1u);
    EXPECT_EQ(list.findMac("2"), std::nullopt);
    list.append("A 4");
    list.append("D 5");
    EXPECT_EQ(list.findName("A"), 2u);
    EXPECT_EQ(list.at(4), "D 5");
    list.replace(4, "A 5");  // a name moved to a later line still finds the earlier one
    EXPECT_EQ(list.findName("A"), 2u);
    list.remove(2);
    EXPECT_EQ(list.findName("A"), 3u);
    EXPECT_EQ(list.takeSortedLines(), (Lines{"A 4", "A 5", "C 9"}));
}

TEST(ArpsiftAddressListTest, SortsWithoutRegardToCaseKeepingTiesInOrder) {
    AddressList list({"pc03 c", "PC02 b", "pc01 a", "PC01 a", "_x", "Z"}, AddressList::Keys::Names);
    EXPECT_EQ(list.takeSortedLines(), (Lines{"pc01 a", "PC01 a", "PC02 b", "pc03 c", "Z", "_x"}));
}

}  // namespace
}  // namespace vt::arpsift
