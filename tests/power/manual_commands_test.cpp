#include "power/manual_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "core/file_error.h"
#include "power/schedule_store.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

struct TagCase {
    int tag;
    int field;
    int row;
};

class TimeBoxTagTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(TimeBoxTagTest, TagGivesFieldAndRow) {
    const TimeBoxTarget target = decodeTimeBoxTag(GetParam().tag);
    EXPECT_EQ(target.field, GetParam().field) << GetParam().tag;
    EXPECT_EQ(target.row, GetParam().row) << GetParam().tag;
}

INSTANTIATE_TEST_SUITE_P(Table, TimeBoxTagTest,
                         ::testing::Values(TagCase{-999, 0, 0}, TagCase{-1, 0, 1},
                                           TagCase{-255, 0, 255}, TagCase{0, 1, 0},
                                           TagCase{7, 1, 7}, TagCase{999, 1, 999},
                                           TagCase{1000, 2, 0}, TagCase{1255, 2, 255},
                                           TagCase{-1000999, 0, 999}, TagCase{2000999, 1, 999},
                                           TagCase{1999, 2, 999}, TagCase{-1001500, 0, 1500},
                                           TagCase{2001500, 1, 1500}, TagCase{2500, 2, 1500}));

TEST(GroupRowLayoutTest, RowsStackEvery24PixelsAndTheirTagsComeBack) {
    std::set<int> boxTags;
    for (int row = 0; row < 1600; ++row) {
        const GroupRowLayout layout = groupRowLayout(row);
        boxTags.insert({layout.shutdownBoxTag, layout.powerOnBoxTag, layout.durationBoxTag});
        EXPECT_EQ(layout.groupButton.top, row * 24 + 32);
        EXPECT_EQ(layout.led.top, row * 24 + 34);
        const TimeBoxTarget off = decodeTimeBoxTag(layout.shutdownBoxTag);
        const TimeBoxTarget on = decodeTimeBoxTag(layout.powerOnBoxTag);
        const TimeBoxTarget duration = decodeTimeBoxTag(layout.durationBoxTag);
        EXPECT_EQ(off.field, 0);
        EXPECT_EQ(on.field, 1);
        EXPECT_EQ(duration.field, 2);
        EXPECT_EQ(off.row, row);
        EXPECT_EQ(on.row, row);
        EXPECT_EQ(duration.row, row);
    }
    EXPECT_EQ(boxTags.size(), 3u * 1600);  // no two time boxes share a tag
    const GroupRowLayout first = groupRowLayout(0);
    EXPECT_EQ(first.shutdownBoxTag, -999);
    EXPECT_EQ(groupRowLayout(2).groupButton.top, 80);
    EXPECT_EQ(first.groupButton.left, 15);
    EXPECT_EQ(first.shutdownBox.left, 128);
    EXPECT_EQ(first.powerOnBox.left, 185);
    EXPECT_EQ(first.durationBox.left, 230);
    EXPECT_EQ(first.durationBox.width, 25);
    EXPECT_EQ(first.led.left, 285);
    EXPECT_EQ(first.onButton.left, 320);
    EXPECT_EQ(first.offButton.left, 343);
}

TEST(NormaliseMachineListTest, DropsEmptyLinesOnlyAndUpperCasesAsciiOnly) {
    EXPECT_EQ(normaliseMachineList({"pc1", "", "pc2"}), (Lines{"PC1", "PC2"}));
    EXPECT_EQ(normaliseMachineList({"", "", "pc3", "", ""}), Lines{"PC3"});
    EXPECT_EQ(normaliseMachineList({" pc4 ", "   ", "pc07*", "poste-é"}),
              (Lines{" PC4 ", "   ", "PC07*", "POSTE-é"}));
    EXPECT_TRUE(normaliseMachineList({}).empty());
}

class ManualCommandsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"A", "B", "Autres"};
        state.Schedules.resize(3);
        state.CurrentGroup = "A";
    }
};

TEST_F(ManualCommandsTest, TimeBoxSelectsFieldGroupAndRow) {
    ASSERT_TRUE(selectTimeBox(state, -999));
    EXPECT_EQ(state.EditedTimeField, 0);
    EXPECT_EQ(state.EditedGroupIndex, 0);
    ASSERT_TRUE(selectTimeBox(state, 1001));
    EXPECT_EQ(state.EditedTimeField, 2);
    EXPECT_EQ(state.EditedGroupIndex, 1);
    EXPECT_EQ(state.CurrentGroup, "B");
    ASSERT_TRUE(selectTimeBox(state, 1));
    EXPECT_EQ(state.EditedTimeField, 1);
    EXPECT_FALSE(selectTimeBox(state, -7));
    EXPECT_FALSE(selectTimeBox(state, 1003));
    EXPECT_EQ(state.EditedTimeField, 1);
    EXPECT_EQ(state.CurrentGroup, "B");
}

TEST_F(ManualCommandsTest, SaveWritesTheShownGroupThenSearchesMacsThenCleansAutres) {
    writeLines("Autres", {"PC1", "PC9"});
    Lines searched;
    const auto written = BtnSaveClick(state, files(), status, "A", {"pc1", "", "pc2"},
                                      [&](const std::string& group) { searched.push_back(group); });
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, (Lines{"PC1", "PC2"}));
    EXPECT_EQ(readBytes("A"), "PC1\r\nPC2\r\n");
    EXPECT_EQ(searched, Lines{"A"});
    EXPECT_EQ(readLines("Autres"), Lines{"PC9"});
    EXPECT_EQ(status.texts.size(), 2u);
}

TEST_F(ManualCommandsTest, SaveWithoutAShownGroupDoesNothing) {
    bool searched = false;
    EXPECT_FALSE(BtnSaveClick(state, files(), status, "", {"pc1"},
                              [&](const std::string&) { searched = true; }));
    EXPECT_FALSE(searched);
    EXPECT_FALSE(fileExists("Autres"));
    EXPECT_THROW(BtnSaveClick(state, files(), status, "../A", {"pc1"}, {}), FileError);
}

TEST_F(ManualCommandsTest, PanelShowsTheGroupFileOrNothing) {
    writeLines("A", {"PC1", "PC07*"});
    EXPECT_EQ(groupPanelLines(files(), "A"), (Lines{"PC1", "PC07*"}));
    EXPECT_TRUE(groupPanelLines(files(), "B").empty());
}

TEST_F(ManualCommandsTest, ConfirmedCommentIsWrittenIntoTheGroupsRecordAtOnce) {
    state.Schedules[0].Comment = "ancien";
    EXPECT_EQ(beginCommentEdit(state, "a"), "ancien");
    EXPECT_EQ(state.CommentGroupIndex, 0);
    // No record yet, no file yet: the record is created with the comment.
    endCommentEdit(state, files(), "salle informatique");
    EXPECT_EQ(state.Schedules[0].Comment, "salle informatique");
    EXPECT_EQ(readLines("settings.ini"),
              (Lines{"A", "0:00+Tous", "0:00", "salle informatique", "NA"}));

    // A schedule saved later keeps it, and so does the next day's load.
    ScheduleEdit edit;
    edit.time = "7:30";
    SaveSettingsFor(state, files(), 0, edit);
    state.Schedules[0].Comment.clear();
    LoadTodaySchedule(state, files(), 3);
    EXPECT_EQ(state.Schedules[0].Comment, "salle informatique");

    // An existing record has only its comment line replaced; a line break cannot split it.
    ASSERT_TRUE(beginCommentEdit(state, "A"));
    endCommentEdit(state, files(), "deux\r\nlignes");
    EXPECT_EQ(readLines("settings.ini"), (Lines{"A", "7:30+Tous-", "0:00", "deux  lignes", "NA"}));

    EXPECT_FALSE(beginCommentEdit(state, "gone"));
    // The catch-all group keeps its fixed explanation: it has no comment to edit.
    EXPECT_FALSE(beginCommentEdit(state, "Autres"));
}

TEST_F(ManualCommandsTest, NeverShutdownNameIsAddedAndMarked) {
    writeLines("A", {"PC07", "PC08"});
    writeLines("Autres", {"PC07"});
    EXPECT_FALSE(addNeverShutdownMachine(state, files(), ""));
    EXPECT_FALSE(fileExists("liste.exclusion"));
    EXPECT_TRUE(addNeverShutdownMachine(state, files(), "pc07"));
    EXPECT_EQ(readLines("A"), (Lines{"PC07*", "PC08"}));
    EXPECT_EQ(readLines("Autres"), Lines{"PC07"});
}

}  // namespace
}  // namespace vt::power
