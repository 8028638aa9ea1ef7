#include "core/strings.h"

#include <gtest/gtest.h>

#include <limits>

namespace vt {
namespace {

struct IntCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

class ParseVtlIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(ParseVtlIntTest, ParsesLikeThePreferencesFile) {
    EXPECT_EQ(parseVtlInt(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseVtlIntTest,
    ::testing::Values(
        IntCase{"0", 0}, IntCase{"195", 195}, IntCase{"-12", -12}, IntCase{"+7", 7},
        IntCase{"   42", 42}, IntCase{"007", 7},
        IntCase{"2147483647", std::numeric_limits<std::int32_t>::max()},
        IntCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
        IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
        IntCase{"99999999999999999999", std::nullopt}, IntCase{"$10", 16}, IntCase{"$ff", 255},
        IntCase{"x1A", 26}, IntCase{"X1a", 26}, IntCase{"0x20", 32}, IntCase{"0X20", 32},
        IntCase{"-$10", -16}, IntCase{"$FFFFFFFF", -1},
        IntCase{"$80000000", std::numeric_limits<std::int32_t>::min()}, IntCase{"$000000010", 16},
        IntCase{"$100000000", std::nullopt}, IntCase{"", std::nullopt},
        IntCase{"   ", std::nullopt}, IntCase{"-", std::nullopt}, IntCase{"$", std::nullopt},
        IntCase{"0x", std::nullopt}, IntCase{"abc", std::nullopt}, IntCase{"12 ", std::nullopt},
        IntCase{"12a", std::nullopt}, IntCase{"1.5", std::nullopt}, IntCase{"- 1", std::nullopt},
        IntCase{"--1", std::nullopt}, IntCase{"\t5", std::nullopt}, IntCase{"$G", std::nullopt},
        IntCase{"0x-1", std::nullopt}));

TEST(TrimTest, RemovesBlanksAndControlCharactersOnly) {
    EXPECT_EQ(trim(" \t\r\n PC01 \x01\x1F "), "PC01");
    EXPECT_EQ(trim("a b"), "a b");
    EXPECT_EQ(trim("  "), "");
    EXPECT_EQ(trimLeft("  a  "), "a  ");
    EXPECT_EQ(trimRight("  a  "), "  a");
    // Accented letters are characters, not blanks.
    EXPECT_EQ(trim("é "), "é");
}

TEST(CaseTest, FoldsAsciiLettersOnly) {
    EXPECT_EQ(toUpperAscii("pc01-é"), "PC01-é");
    EXPECT_EQ(toLowerAscii("PC01-É"), "pc01-É");
    EXPECT_TRUE(equalsNoCase("Salle1", "SALLE1"));
    EXPECT_FALSE(equalsNoCase("Salle1", "Salle"));
    EXPECT_TRUE(startsWithNoCase("SALLE12", "salle"));
    EXPECT_FALSE(startsWithNoCase("SAL", "salle"));
    EXPECT_EQ(compareNoCase("abc", "ABC"), 0);
    EXPECT_LT(compareNoCase("abc", "ABD"), 0);
    EXPECT_LT(compareNoCase("ab", "ABC"), 0);
    EXPECT_GT(compareNoCase("b", "A"), 0);
}

TEST(CharacterTest, CountsAndCutsCodePointsNotBytes) {
    EXPECT_EQ(characterCount("aé€"), 3u);
    EXPECT_EQ(leftCharacters("éléphant", 3), "élé");
    EXPECT_EQ(leftCharacters("ab", 5), "ab");
    EXPECT_EQ(leftCharacters("ab", 0), "");
    const std::string long300(300, 'x');
    EXPECT_EQ(atMost255(long300).size(), 255u);
    EXPECT_EQ(characterCount(atMost255(std::string(300, 'x') + "é")), 255u);
}

TEST(SplitAtFirstTest, SplitsAtTheFirstSeparatorOnly) {
    const SplitResult split = splitAtFirst("ip=a=b", "=");
    EXPECT_TRUE(split.found);
    EXPECT_EQ(split.before, "ip");
    EXPECT_EQ(split.after, "a=b");
    const SplitResult none = splitAtFirst("noequal", "=");
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.before, "noequal");
    EXPECT_EQ(none.after, "");
}

TEST(SortedNoCaseListTest, KeepsSortedOrderAndIgnoresEqualLines) {
    SortedNoCaseList list({"pc3", "PC1", "pc2", "Pc1"});
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"PC1", "pc2", "pc3"}));
    EXPECT_FALSE(list.add("pc2"));
    EXPECT_FALSE(list.add("PC3"));
    EXPECT_TRUE(list.add("pc10"));
    EXPECT_TRUE(list.add("A"));
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"A", "PC1", "pc10", "pc2", "pc3"}));
    EXPECT_TRUE(list.contains("PC10"));
    EXPECT_FALSE(list.contains("PC4"));
    list.clear();
    EXPECT_TRUE(list.lines().empty());
}

}  // namespace
}  // namespace vt
