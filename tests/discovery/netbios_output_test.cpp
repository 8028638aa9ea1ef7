#include "discovery/netbios_output.h"

#include <gtest/gtest.h>

#include "tests/support/fixture_files.h"

namespace vt::discovery {
namespace {

using Lines = std::vector<std::string>;

struct NetViewCase {
    const char* name;
    Lines output;
    Lines names;
    std::size_t headerLines;
};

class NetViewCaseTest : public ::testing::TestWithParam<NetViewCase> {};

TEST_P(NetViewCaseTest, MachineNames) {
    const NetViewListing listing = readNetView(GetParam().output);
    EXPECT_EQ(listing.names, GetParam().names);
    EXPECT_EQ(listing.headerLines.size(), GetParam().headerLines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NetViewCaseTest,
    ::testing::Values(
        NetViewCase{"Empty", {}, {}, 0},
        NetViewCase{"NoMachineLineShowsEveryLineButTheFirst",
                    test::fixtureLines("windows-fr/net-view-empty.txt"),
                    {},
                    test::fixtureLines("windows-fr/net-view-empty.txt").size() - 1},
        NetViewCase{"BlankAndCommentAndTheRunEndsAtTheEnd",
                    {"x", "\\\\PC01   remarque", "\\\\SALLE1-02 "},
                    {"PC01", "SALLE1-02"},
                    1},
        NetViewCase{
            "RunEndsAtTheFirstOtherLine", {"x", "\\\\PC01 a", "", "\\\\PC02 b"}, {"PC01"}, 1},
        NetViewCase{"FirstLineIsNeverAMachine", {"\\\\PC00 a", "\\\\PC01 b"}, {"PC01"}, 1},
        // The header's remark column tells a name with a blank from a name and its remark.
        NetViewCase{"NameWithABlankIsReadWhole",
                    {"Nom du serveur            Remarque", "", "\\\\PCREL01 X               ",
                     "\\\\CDI-01                  Poste documentaliste"},
                    {"PCREL01 X", "CDI-01"},
                    2},
        // The column counts characters: "€" takes three bytes of the text read.
        NetViewCase{"WideNameWithABlankIsReadWhole",
                    {"Nom du serveur            Remarque", "", "\\\\€€€€€€€€PC07 X           ",
                     "\\\\A €€€€€€€€€€€€€          "},
                    {"€€€€€€€€PC07 X", "A €€€€€€€€€€€€€"},
                    2},
        NetViewCase{"NothingAfterTheBackslashesNamesNothing",
                    {"x", "\\\\", "\\\\ remarque", "\\\\PC05"},
                    {"", "", "PC05"},
                    1}),
    [](const auto& test) { return std::string(test.param.name); });

struct NbtstatCase {
    const char* name;
    Lines output;
    std::optional<NbtstatAnswer> answer;
};

class NbtstatCaseTest : public ::testing::TestWithParam<NbtstatCase> {};

TEST_P(NbtstatCaseTest, Answer) {
    const auto answer = readNbtstat(GetParam().output);
    ASSERT_EQ(answer.has_value(), GetParam().answer.has_value());
    if (answer) {
        EXPECT_EQ(answer->address, GetParam().answer->address);
        EXPECT_EQ(answer->name, GetParam().answer->name);
        EXPECT_EQ(answer->mac, GetParam().answer->mac);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NbtstatCaseTest,
    ::testing::Values(
        NbtstatCase{"MacOnTheLastLine",
                    {"", "IP [10.0.0.2]", "  pc1 <00> UNIQUE", "  Adresse MAC = 00-11"},
                    std::nullopt},
        NbtstatCase{"CaseKeptAndTheMacTakenAsWritten",
                    {"", "IP [ 10.0.0.9 ]", "  pc1 <00> UNIQUE", "MAC =00:11:22", ""},
                    NbtstatAnswer{"10.0.0.9", "pc1", "0:11:22"}},
        NbtstatCase{"MasterBrowserRoleIsNotTheName",
                    {"", "IP [10.0.0.11]", "  COLLEGE <1D> UNIQUE", "  SALLE1-01 <00> UNIQUE",
                     "MAC = 02-56", ""},
                    NbtstatAnswer{"10.0.0.11", "SALLE1-01", "02-56"}},
        NbtstatCase{"OnlyGroupNamesAndRoles",
                    {"", "IP [10.0.0.2]", "  COLLEGE <1B> UNIQUE", "  COLLEGE <00> GROUPE",
                     "MAC = 00-11", ""},
                    std::nullopt},
        NbtstatCase{"OnlyGroupNames",
                    {"", "IP [10.0.0.2]", "  COLLEGE <00> GROUPE", "MAC = 00-11", ""},
                    std::nullopt},
        NbtstatCase{
            "EmptyMac", {"", "IP [10.0.0.2]", "  PC1 <00> UNIQUE", "MAC =", ""}, std::nullopt}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace vt::discovery
