#include <gtest/gtest.h>

#include "core/address_index.h"
#include "core/utils.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using Lines = std::vector<std::string>;

struct LookupCase {
    const char* name;
    const char* expected;
};

class MacLookupTest : public ::testing::TestWithParam<LookupCase> {
protected:
    static VtlVar withMacs() {
        VtlVar state;
        state.MacList = {"PC10 00-11-22-33-44-10",
                         "PC1 00-11-22-33-44-01",
                         "pc2 aa-bb-cc-dd-ee-02",
                         "NOBLANK",
                         "PC3 ",
                         "PC4 00 11 with blanks",
                         "PC1 second-line-ignored"};
        return state;
    }
};

TEST_P(MacLookupTest, MatchesTheMachineNameBeforeTheFirstBlank) {
    EXPECT_EQ(MacLookup(withMacs(), GetParam().name), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MacLookupTest,
    ::testing::Values(LookupCase{"PC1", "00-11-22-33-44-01"},  // not PC10's line
                      LookupCase{"pc1", "00-11-22-33-44-01"},
                      LookupCase{"PC10", "00-11-22-33-44-10"},
                      LookupCase{"PC2", "aa-bb-cc-dd-ee-02"},
                      LookupCase{"PC", ""},                 // a prefix is no name
                      LookupCase{"00-11-22-33-44-01", ""},  // a MAC text never matches
                      LookupCase{"NOBLANK", ""},            // a line without a blank
                      LookupCase{"PC3", ""}, LookupCase{"PC4", "00 11 with blanks"},
                      LookupCase{"PC5", ""}, LookupCase{"", ""}));

TEST(LookupTest, ResultIsCutTo255Characters) {
    VtlVar state;
    state.MacList = {"PC1 " + std::string(300, 'm')};
    state.IpList = {"PC1 " + std::string(254, 'i') + "éé"};
    EXPECT_EQ(MacLookup(state, "PC1"), std::string(255, 'm'));
    EXPECT_EQ(IpLookup(state, "PC1"), std::string(254, 'i') + "é");
}

TEST(LookupTest, IpLookupFallsBackToTheTarget) {
    VtlVar state;
    state.WolTargetIp = "10.0.0.255";
    state.IpList = {"pc1 10.0.0.1", "PC10 10.0.0.10", "PC2", "PC1 10.9.9.9"};
    EXPECT_EQ(IpLookup(state, "PC1"), "10.0.0.1");
    EXPECT_EQ(IpLookup(state, "pc10"), "10.0.0.10");
    EXPECT_EQ(IpLookup(state, "PC3"), "10.0.0.255");
    EXPECT_EQ(IpLookup(state, "PC2"), "10.0.0.255");
    EXPECT_EQ(IpLookup(state, "10.0.0.1"), "10.0.0.255");
}

struct StripCase {
    const char* line;
    const char* expected;
};

class StripMarkTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripMarkTest, RemovesBlanksAndOneMark) {
    EXPECT_EQ(StripMark(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, StripMarkTest,
                         ::testing::Values(StripCase{"PC07", "PC07"}, StripCase{"PC07*", "PC07"},
                                           StripCase{"PC07** ", "PC07*"},
                                           StripCase{" \tPC07*\r", "PC07"}, StripCase{"*", "*"},
                                           StripCase{" * ", "*"}, StripCase{"**", "*"},
                                           StripCase{"", ""}, StripCase{"é*", "é"}));

class MachineFilesTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"SALLE1", "SALLE2", "Autres"};
        writeLines("SALLE1", {"PC01", "PC07", "pc08", "PC07*"});
        writeLines("SALLE2", {"PC07", "PC20"});
        writeLines("Autres", {"PC07", "PC99"});
    }
};

TEST_F(MachineFilesTest, GroupOfMachineIsTheFirstGroupHoldingTheLine) {
    EXPECT_EQ(GroupOfMachine(state, files(), "pc07"), "SALLE1");
    EXPECT_EQ(GroupOfMachine(state, files(), "PC20"), "SALLE2");
    EXPECT_EQ(GroupOfMachine(state, files(), "PC99"), "Autres");
    EXPECT_EQ(GroupOfMachine(state, files(), "PC0"), "");
    EXPECT_EQ(GroupOfMachine(state, files(), "PC07*"), "SALLE1");
    state.GroupList.insert(state.GroupList.begin(), "MISSING");  // missing file: empty group
    EXPECT_EQ(GroupOfMachine(state, files(), "PC20"), "SALLE2");
}

TEST_F(MachineFilesTest, AddingAnExclusionMarksEveryGroupButAutres) {
    AddToExclusionList(state, files(), "pc07");
    EXPECT_EQ(readLines("liste.exclusion"), Lines{"pc07"});
    EXPECT_EQ(readLines("SALLE1"), (Lines{"PC01", "PC07*", "pc08", "PC07*"}));
    EXPECT_EQ(readLines("SALLE2"), (Lines{"PC07*", "PC20"}));
    EXPECT_EQ(readBytes("Autres"), "PC07\r\nPC99\r\n");
}

TEST_F(MachineFilesTest, MarkingTwiceAddsNoSecondMark) {
    AddToExclusionList(state, files(), "PC07");
    AddToExclusionList(state, files(), "pc07");
    MarkExclusions(state, files());
    EXPECT_EQ(readLines("liste.exclusion"), Lines{"PC07"});
    EXPECT_EQ(readLines("SALLE1"), (Lines{"PC01", "PC07*", "pc08", "PC07*"}));
    EXPECT_EQ(readLines("SALLE2"), (Lines{"PC07*", "PC20"}));
}

TEST_F(MachineFilesTest, ExclusionListStaysSortedWithoutDuplicates) {
    for (const char* name : {"PC20", "pc01", "Pc08", "PC01", "a-poste"}) {
        AddToExclusionList(state, files(), name);
    }
    EXPECT_EQ(readBytes("liste.exclusion"), "a-poste\r\npc01\r\nPc08\r\nPC20\r\n");
    EXPECT_EQ(readLines("SALLE1"), (Lines{"PC01*", "PC07", "pc08*", "PC07*"}));
    EXPECT_EQ(readLines("SALLE2"), (Lines{"PC07", "PC20*"}));
}

TEST_F(MachineFilesTest, AnEmptyNameAddsNothingButTheFileIsCreated) {
    writeLines("SALLE2", {"", "PC20"});
    AddToExclusionList(state, files(), "  ");
    EXPECT_EQ(readBytes("liste.exclusion"), "");
    EXPECT_EQ(readLines("SALLE2"), (Lines{"", "PC20"}));
}

TEST_F(MachineFilesTest, ReimportOfAMarkedMachineGetsMarkedAgainByTheNextRun) {
    AddToExclusionList(state, files(), "PC20");
    writeBytes("unc/PDC/esu/Base/ListeGM.xml", "<GM n=\"SALLE2\"><Machine>PC20</Machine></GM>");
    state.Prefs.pdc = "\\\\PDC";
    state.Prefs.esu = "true";
    LoadGroups(state, files(), console);
    EXPECT_EQ(readLines("SALLE2"), (Lines{"PC07", "PC20*", "PC20"}));
    MarkExclusions(state, files());
    EXPECT_EQ(readLines("SALLE2"), (Lines{"PC07", "PC20*", "PC20*"}));
}

TEST_F(MachineFilesTest, MissingGroupFilesAreNotCreatedByMarking) {
    state.GroupList = {"GHOST", "SALLE1", "Autres"};
    AddToExclusionList(state, files(), "PC01");
    EXPECT_FALSE(fileExists("GHOST"));
    EXPECT_EQ(readLines("SALLE1").front(), "PC01*");
}

// One index serves an operation over many machines with the answers of the list scan: the
// first line of a name wins, names compare without regard to case, a line without a blank
// names nothing; a group line is looked up under its plain name, then as written.
TEST(AddressIndexTest, AnswersAsTheListScanDoes) {
    const Lines list = {"pc10 10.0.0.10",
                        "PC1 10.0.0.1",
                        "pc1 10.9.9.9",
                        "nameonly",
                        "PC07* 10.0.0.77",
                        "PC08 10.0.0.8",
                        "PC2 " + std::string(300, 'x')};
    const AddressIndex index(list);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"PC1", "10.0.0.1"},    {"pc10", "10.0.0.10"},  {"PC", "<none>"},
        {"nameonly", "<none>"}, {"PC07*", "10.0.0.77"}, {"  PC08* ", "10.0.0.8"},
        {"PC08*", "10.0.0.8"},  {"PC07", "<none>"},     {"PC2", std::string(255, 'x')}};
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(index.findLine(line).value_or("<none>"), expected) << line;
    }
    EXPECT_EQ(index.find("PC07").value_or("<none>"), "<none>");
}

}  // namespace
}  // namespace vt
