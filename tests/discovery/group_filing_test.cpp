#include "discovery/group_filing.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "core/text_file.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

class GroupFilingTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "SALLE12", "B1", "LABO", "Autres"};
    }
    void file(DiscoveryMethod method, const Lines& names) {
        GroupFiling filing(state, services(), method);
        for (const std::string& name : names) {
            filing.AssignToGroups(name);
        }
        filing.save();
    }
};

struct FilingCase {
    const char* name;
    DiscoveryMethod method;
    std::map<std::string, Lines> before;  // group files written first
    Lines discovered;
    std::map<std::string, std::optional<Lines>> after;  // nothing: the file does not exist
};

class FilingCaseTest : public GroupFilingTest, public ::testing::WithParamInterface<FilingCase> {};

TEST_P(FilingCaseTest, GroupFilesHoldTheNames) {
    for (const auto& [group, lines] : GetParam().before) {
        writeLines(group, lines);
    }
    file(GetParam().method, GetParam().discovered);
    for (const auto& [group, lines] : GetParam().after) {
        if (lines) {
            EXPECT_EQ(readLines(group), *lines) << group;
        } else {
            EXPECT_FALSE(fileExists(group)) << group;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilingCaseTest,
    ::testing::Values(FilingCase{"TwoCharacterGroupNeverReceives",
                                 DiscoveryMethod::Csv,
                                 {},
                                 {"b1-pc01"},
                                 {{"B1", std::nullopt}, {"Autres", Lines{"B1-PC01"}}}},
                      FilingCase{"EveryGroupThatPrefixesTheName",
                                 DiscoveryMethod::Csv,
                                 {{"Autres", {}}},
                                 {"salle12-pc03"},
                                 {{"SALLE1", Lines{"SALLE12-PC03"}},
                                  {"SALLE12", Lines{"SALLE12-PC03"}},
                                  {"Autres", Lines{}}}},
                      FilingCase{"RewrittenFileIsSortedWithoutDuplicates",
                                 DiscoveryMethod::Passive,
                                 {{"LABO", {"ZED", "abc", "ABC"}}},
                                 {"labo-01"},
                                 {{"LABO", Lines{"abc", "LABO-01", "ZED"}}}},
                      FilingCase{"RouterKeepsTheMarkedLineAlone",
                                 DiscoveryMethod::Ipr,
                                 {{"LABO", {"LABO-01*"}}},
                                 {"labo-01"},
                                 {{"LABO", Lines{"LABO-01*"}}}},
                      FilingCase{"CsvAddsBesideTheMarkedLine",
                                 DiscoveryMethod::Csv,
                                 {{"LABO", {"LABO-01*"}}},
                                 {"labo-01"},
                                 {{"LABO", Lines{"LABO-01", "LABO-01*"}}}},
                      FilingCase{"NetViewLeavesAMissingGroupFileAloneAndAutresToo",
                                 DiscoveryMethod::NetView,
                                 {{"SALLE1", {"SALLE1-09"}}},
                                 {"SALLE12-PC03", "PROF"},
                                 {{"SALLE1", Lines{"SALLE1-09", "SALLE12-PC03"}},
                                  {"SALLE12", std::nullopt},
                                  {"Autres", Lines{"PROF"}}}},
                      FilingCase{"OtherMethodsCreateTheGroupFile",
                                 DiscoveryMethod::Ipr,
                                 {},
                                 {"salle12-pc03"},
                                 {{"SALLE12", Lines{"SALLE12-PC03"}}, {"Autres", std::nullopt}}},
                      FilingCase{"AutresIsSortedAndNamesAreFiledOnce",
                                 DiscoveryMethod::Csv,
                                 {{"Autres", {"zz", "MM"}}},
                                 {"aa", "AA", "mm", "Aa"},
                                 {{"Autres", Lines{"AA", "MM", "zz"}}}},
                      FilingCase{"EmptyOverlongAndControlNamesAreNotFiled",
                                 DiscoveryMethod::Passive,
                                 {},
                                 {"", "   ", std::string(256, 'x'), "PC\t1", "PCREL01 X", "PC\v1",
                                  "PC& CALC"},
                                 {{"Autres", std::nullopt}}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(GroupFilingTest, ConsoleMethodsNameEveryMatchAndTheFileToUpdate) {
    state.DataDir = "d:\\vt\\";
    state.GroupList = {"SALLE1", "SALLE12", "Autres"};
    GroupFiling filing(state, services(), DiscoveryMethod::Ipr);
    filing.AssignToGroups("salle12-pc03");
    filing.AssignToGroups("prof");
    // From the first match on, the name is shown as the group files hold it.
    EXPECT_EQ(console.lines,
              (Lines{"salle12-pc03 correspond au groupe de machines SALLE1",
                     "correspondance trouvée pour salle12-pc03", "d:\\vt\\SALLE1 sera mis à jour",
                     "SALLE12-PC03 correspond au groupe de machines SALLE12",
                     "correspondance trouvée pour SALLE12-PC03", "d:\\vt\\SALLE12 sera mis à jour",
                     "prof ne correspond à aucun groupe de machines "}));
    EXPECT_TRUE(status.texts.empty());
}

TEST_F(GroupFilingTest, StatusMethodsWriteOnlyTheMatchLines) {
    GroupFiling filing(state, services(), DiscoveryMethod::Csv);
    filing.AssignToGroups("labo-2");
    filing.AssignToGroups("");
    filing.AssignToGroups("x");
    filing.AssignToGroups("labo 3");
    filing.AssignToGroups("labo-4\v");
    filing.reportSkippedNames("CSV");
    EXPECT_EQ(status.texts, (Lines{"labo-2 correspond au groupe de machines LABO",
                                   "x ne correspond à aucun groupe de machines "}));
    EXPECT_EQ(console.lines,
              (Lines{"CSV : 1 ligne(s) sans nom de machine ignorée(s)",
                     "CSV : 2 nom(s) de machine refusé(s) (blanc, caractère de contrôle ou "
                     "réservé, chemin, ou plus de 255 caractères)"}));
}

TEST_F(GroupFilingTest, GroupNamedAutresAndTheCatchAllShareOneFile) {
    state.GroupList = {"autres", "Autres"};
    file(DiscoveryMethod::Csv, {"autres-pc1", "pc2"});
    // Files are found without regard to case, whichever spelling wrote it first.
    EXPECT_EQ(loadTextLines(files(), "Autres"), (Lines{"AUTRES-PC1", "PC2"}));
    EXPECT_EQ(loadTextLines(files(), "autres"), (Lines{"AUTRES-PC1", "PC2"}));
}

TEST_F(GroupFilingTest, FileThatNeedsNoChangeIsNotWritten) {
    writeLines("LABO", {"LABO-01", "LABO-02"});
    // A read-only file cannot be written: saving it would fail.
    ASSERT_TRUE(files().setReadOnly("LABO", true));
    EXPECT_NO_THROW(file(DiscoveryMethod::Csv, {"labo-02", "LABO-01"}));
    files().setReadOnly("LABO", false);
}

TEST_F(GroupFilingTest, FileThatCannotBeWrittenIsReportedAfterTheOthers) {
    writeLines("LABO", {"LABO-01"});
    ASSERT_TRUE(files().setReadOnly("LABO", true));
    GroupFiling filing(state, services(), DiscoveryMethod::Csv);
    filing.AssignToGroups("labo-02");
    filing.AssignToGroups("salle1-01");
    EXPECT_THROW(filing.save(), FileError);
    EXPECT_EQ(readLines("SALLE1"), Lines{"SALLE1-01"});
    files().setReadOnly("LABO", false);
}

}  // namespace
}  // namespace vt::discovery
