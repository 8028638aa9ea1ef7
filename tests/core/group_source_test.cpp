#include "core/group_source.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/file_error.h"
#include "core/preferences.h"
#include "core/utils.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using Lines = std::vector<std::string>;

struct AddressCase {
    const char* typed;
    const char* stored;
};

class ControllerAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ControllerAddressTest, TypedNameBecomesAServerName) {
    EXPECT_EQ(controllerAddress(GetParam().typed), GetParam().stored) << GetParam().typed;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControllerAddressTest,
    ::testing::Values(AddressCase{"\\\\", ""},  // the field as it first shows
                      AddressCase{"", ""}, AddressCase{"DC", ""}, AddressCase{"\\DC", "\\\\DC"},
                      AddressCase{"DC01", "\\\\DC01"}, AddressCase{"\\DC01", "\\\\DC01"},
                      AddressCase{"\\\\DC01", "\\\\DC01"}, AddressCase{" DC01 ", "\\\\DC01"},
                      AddressCase{"SRV-PDC.college.local", "\\\\SRV-PDC.college.local"},
                      AddressCase{"é1", ""}));

class GroupSourceTest : public test::TempDirTest {
protected:
    std::vector<SkippedGroupLine> confirm(const Lines& list, std::string_view typed = "DC01",
                                          bool esu = false) {
        return confirmGroupSource(state, files(), WindowGeometry{}, typed, esu, list);
    }
};

TEST_F(GroupSourceTest, ExistingFileOfAnotherCaseIsTheGroupsFile) {
    writeLines("SALLE1", {"PC11"});
    EXPECT_TRUE(confirm({"salle1"}).empty());
    EXPECT_EQ(readLines("SALLE1"), Lines{"PC11"});
    EXPECT_FALSE(fileExists("salle1"));
}

TEST_F(GroupSourceTest, LinesThatAreNoGroupNameGetNoFileAndAreListed) {
    Lines list = {"salle1", "",    ".",       "..",     "\\",     "/",
                  ":",      "a/b", "vtl.ini", "-salle", "salle2", "cdi\t2"};
    list.push_back(std::string(256, 'x'));
    const std::vector<SkippedGroupLine> skipped = confirm(list);
    std::vector<std::size_t> lines;
    for (const SkippedGroupLine& line : skipped) {
        lines.push_back(line.lineNumber);
        EXPECT_FALSE(line.reason.empty()) << line.text;
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13}));
    EXPECT_EQ(skipped[0].reason, "ligne vide");
    EXPECT_EQ(skipped[7].text, "vtl.ini");
    EXPECT_EQ(skipped[7].reason, "nom d'un fichier du programme");
    // Only the two groups got files; vtl.ini is the preferences, untouched by the list.
    EXPECT_EQ(readBytes("salle1"), "");
    EXPECT_EQ(readBytes("salle2"), "");
    EXPECT_FALSE(fileExists("-salle"));
    EXPECT_FALSE(fileExists("a"));
    EXPECT_EQ(readLines("vtl.ini").size(), preferencesFileLines(state, WindowGeometry{}).size());
    // The refused names stay in the list, where the user finds them to correct them; the
    // blank line goes. LoadGroups then skips them with a console line.
    const Lines local = readLines("localGM");
    EXPECT_EQ(local.size(), list.size() - 1);
    state.Prefs.esu = "false";
    LoadGroups(state, files(), console);
    EXPECT_EQ(state.GroupList, (Lines{"salle1", "salle2", "Autres"}));

    // The dialog's message, one line a skipped line, is checked in settings_dialogs_qtest.
    EXPECT_EQ(skippedGroupLinesMessage({}), "");
}

TEST_F(GroupSourceTest, UnwritablePreferencesStopTheConfirmation) {
    if (::geteuid() == 0) {
        // Root writes in a read-only folder: make vtl.ini a folder instead.
        ASSERT_TRUE(files().createDirectories(path("vtl.ini")));
    } else {
        ASSERT_EQ(::chmod(path("").c_str(), 0555), 0);
    }
    EXPECT_THROW(confirm({"salle1"}), FileError);
    ::chmod(path("").c_str(), 0755);
    EXPECT_FALSE(fileExists("localGM"));
    EXPECT_FALSE(fileExists("salle1"));
}

}  // namespace
}  // namespace vt
