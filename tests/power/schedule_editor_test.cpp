#include "power/schedule_editor.h"

#include <gtest/gtest.h>

#include "core/strings.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

TEST(ScheduleEditorLayoutTest, TwoLayouts) {
    const ScheduleEditorLayout everyDay = scheduleEditorLayout(true);
    EXPECT_FALSE(everyDay.dayBoxesVisible);
    EXPECT_TRUE(everyDay.everyDayTimeEnabled);
    EXPECT_EQ(everyDay.height, 210);
    EXPECT_EQ(everyDay.okTop, 95);
    EXPECT_EQ(everyDay.cancelTop, 95);
    EXPECT_EQ(everyDay.cancelLeft, 188);
    EXPECT_EQ(everyDay.panelTop, 148);

    const ScheduleEditorLayout perDay = scheduleEditorLayout(false);
    EXPECT_TRUE(perDay.dayBoxesVisible);
    EXPECT_FALSE(perDay.everyDayTimeEnabled);
    EXPECT_EQ(perDay.height, 393);
    EXPECT_EQ(perDay.okTop, 192);
    EXPECT_EQ(perDay.cancelTop, 264);
    EXPECT_EQ(perDay.cancelLeft, 304);
    EXPECT_EQ(perDay.panelTop, 328);
}

class ScheduleEditorTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"A", "B", "Autres"};
        state.Schedules.resize(3);
        state.CurrentGroup = "B";
        state.EditedGroupIndex = 1;
    }

    ScheduleEditorContents open(int field, bool everyDayBefore = true) {
        state.EditedTimeField = field;
        return fillScheduleEditor(state, files(), everyDayBefore);
    }
};

TEST_F(ScheduleEditorTest, EveryDayPowerOnLineFillsTimeAndDuration) {
    writeLines("settings.ini", {"b", "7:30+Tous-90", "0:00", "", "NA"});
    for (int field : {1, 2}) {
        const ScheduleEditorContents c = open(field, false);
        EXPECT_EQ(c.title, " L'allumage est programmé à : ");
        EXPECT_TRUE(c.durationVisible);
        EXPECT_TRUE(c.everyDay);
        EXPECT_EQ(c.time, "7:30");
        EXPECT_EQ(c.duration, "90");
        EXPECT_EQ(c.days, EditorDays{});
        EXPECT_FALSE(c.synchronise);
        EXPECT_EQ(c.layout.height, 210);
    }
}

TEST_F(ScheduleEditorTest, ShutdownEditorWithoutRecordThenWithTheDefaultLine) {
    writeLines("settings.ini", {});
    ScheduleEditorContents c = open(0, false);
    EXPECT_EQ(c.title, " L'arrêt est programmé à : ");
    EXPECT_FALSE(c.durationVisible);
    EXPECT_TRUE(c.everyDay);
    EXPECT_EQ(c.time, "");
    EXPECT_EQ(c.layout.height, 210);

    writeLines("settings.ini", {"B", "0:00+Tous", "0:00", "", "NA"});
    c = open(0);
    EXPECT_FALSE(c.everyDay);
    EXPECT_EQ(c.days, EditorDays{});
    EXPECT_EQ(c.layout.height, 393);
}

TEST_F(ScheduleEditorTest, PowerOnEditorWithoutRecordKeepsTheLastEveryDayState) {
    EXPECT_FALSE(open(1, false).everyDay);
    EXPECT_EQ(open(1, false).layout.height, 393);
    EXPECT_TRUE(open(2, true).everyDay);
}

TEST_F(ScheduleEditorTest, PerDayLineFillsTheDayBoxes) {
    writeLines("settings.ini", {"B", "7:30+lundi,8:00+mardi,7:45+dimanche,-60",
                                "17:00+lundi,16:00+vendredi,", "", "NA"});
    ScheduleEditorContents c = open(1);
    EXPECT_FALSE(c.everyDay);
    EXPECT_EQ(c.duration, "60");
    EXPECT_EQ(c.days, (EditorDays{"7:30", "8:00", "", "", "", "", "7:45"}));
    c = open(0);
    EXPECT_EQ(c.days, (EditorDays{"17:00", "", "", "", "16:00", "", ""}));
    EXPECT_EQ(c.duration, "");
}

TEST_F(ScheduleEditorTest, ShortRecordAndMissingFileOpenEmpty) {
    writeLines("settings.ini", {"B", "7:30+Tous-5"});
    EXPECT_EQ(open(0).time, "");
    EXPECT_EQ(open(1).time, "7:30");
    ASSERT_TRUE(files().removeFile("settings.ini"));
    EXPECT_EQ(open(1).time, "");
}

TEST_F(ScheduleEditorTest, PerDaySaveFromTheDurationBoxWritesThePowerOnLine) {
    ScheduleEditorContents c;
    c.everyDay = false;
    c.duration = "60";
    c.days[0] = "7:30";
    c.days[1] = "8:00";
    writeLines("settings.ini", {});
    state.EditedTimeField = 2;
    saveScheduleEditor(state, files(), c);
    const Lines fromDuration = readLines("settings.ini");
    writeLines("settings.ini", {});
    state.EditedTimeField = 1;
    saveScheduleEditor(state, files(), c);
    EXPECT_EQ(readLines("settings.ini"), fromDuration);
    EXPECT_EQ(fromDuration, (Lines{"B", "7:30+lundi,8:00+mardi,-60", "0:00", "", "NA"}));
}

TEST_F(ScheduleEditorTest, SynchroniseSpreadsEveryGroupByOneMinute) {
    writeLines("settings.ini", {});
    state.EditedTimeField = 0;
    ScheduleEditorContents c;
    c.everyDay = true;
    c.time = "18:00";
    c.synchronise = true;
    saveScheduleEditor(state, files(), c);
    EXPECT_EQ(readLines("settings.ini"), (Lines{"A", "0:00+Tous", "18:00+Tous", "", "NA",  //
                                                "B", "0:00+Tous", "18:01+Tous", "", "NA",  //
                                                "Autres", "0:00+Tous", "18:02+Tous", "", "NA"}));
}

TEST_F(ScheduleEditorTest, SynchronisedPerDayTimesAreShiftedToo) {
    writeLines("settings.ini", {});
    state.EditedTimeField = 1;
    ScheduleEditorContents c;
    c.everyDay = false;
    c.days[2] = "7:59";
    c.synchronise = true;
    saveScheduleEditor(state, files(), c);
    const Lines lines = readLines("settings.ini");
    EXPECT_EQ(lines[1], "7:59+mercredi,");
    EXPECT_EQ(lines[6], "8:00+mercredi,");
    EXPECT_EQ(lines[11], "8:01+mercredi,");
}

TEST_F(ScheduleEditorTest, WithoutSynchroniseOnlyTheEditedGroupIsSaved) {
    writeLines("settings.ini", {});
    state.EditedTimeField = 1;
    ScheduleEditorContents c;
    c.time = "7:30";
    c.duration = "90";
    saveScheduleEditor(state, files(), c);
    EXPECT_EQ(readLines("settings.ini"), (Lines{"B", "7:30+Tous-90", "0:00", "", "NA"}));
}

}  // namespace
}  // namespace vt::power

namespace vt::power {
namespace {

TEST(TypedTimeTest, FrenchHourFormIsReadAndBlanksDropped) {
    EXPECT_EQ(typedTime("7h30"), "7:30");
    EXPECT_EQ(typedTime(" 7H05 "), "7:05");
    EXPECT_EQ(typedTime("18h"), "18:00");
    EXPECT_EQ(typedTime(" 7:30 "), "7:30");
    for (const char* asTyped : {"abc", "h30", "7h3h", "7hh", "7 h 30", "", "25:00", "7.30"}) {
        EXPECT_EQ(typedTime(asTyped), trim(asTyped)) << asTyped;
    }
}

struct SaveCase {
    const char* name;
    int field;  // EditedTimeField
    bool everyDay;
    const char* time;  // PHeure, or lundi's box in the per-day layout
    const char* duration;
    bool synchronise;
    const char* refusal;  // the start of the message; empty: the save goes ahead
    const char* saved;    // the time as saved, when it goes ahead
};

class ScheduleEditorRefusalTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(ScheduleEditorRefusalTest, TimeTheSchedulerCanNeverMatchIsRefused) {
    const SaveCase& c = GetParam();
    VtlVar state;
    state.GroupList = {"A", "B", "C", "Autres"};
    state.EditedTimeField = c.field;
    ScheduleEditorContents contents;
    contents.everyDay = c.everyDay;
    (c.everyDay ? contents.time : contents.days[0]) = c.time;
    contents.duration = c.duration;
    contents.synchronise = c.synchronise;
    const std::optional<std::string> refusal = prepareScheduleEditorSave(state, contents);
    if (std::string(c.refusal).empty()) {
        EXPECT_EQ(refusal, std::nullopt) << c.name << ": " << refusal.value_or("");
        EXPECT_EQ(c.everyDay ? contents.time : contents.days[0], c.saved) << c.name;
    } else {
        ASSERT_TRUE(refusal) << c.name;
        EXPECT_EQ(refusal->rfind(c.refusal, 0), 0u) << c.name << ": " << *refusal;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScheduleEditorRefusalTest,
    ::testing::Values(
        SaveCase{"hour and minutes", 1, true, "7:30", "90", false, "", "7:30"},
        SaveCase{"French form", 1, true, "7h30", "", false, "", "7:30"},
        SaveCase{"leading zero kept", 0, true, "07:30", "", false, "", "07:30"},
        SaveCase{"empty is no action", 0, true, "", "", false, "", "0:00"},
        SaveCase{"no hour 25", 0, true, "25:00", "", false, "L'heure « 25:00 » n'existe pas", ""},
        SaveCase{"letters", 1, true, "abc", "", false, "L'heure « abc » n'existe pas", ""},
        SaveCase{"minute 60", 1, true, "7:60", "", false, "L'heure « 7:60 » n'existe pas", ""},
        SaveCase{"per day", 1, false, "8h5", "", false, "", "8:5"},
        SaveCase{"per day refused", 0, false, "24:00", "", false,
                 "L'heure du lundi « 24:00 » n'existe pas", ""},
        SaveCase{"duration in words", 1, true, "7:30", "une heure", false,
                 "La durée « une heure » doit être un nombre entier", ""},
        SaveCase{"duration of zero", 2, true, "7:30", "0", false, "La durée « 0 »", ""},
        SaveCase{"duration past midnight", 1, true, "23:00", "90", false,
                 "Un allumage à 23:00 pour 90 mn finirait après minuit", ""},
        SaveCase{"duration past midnight per day", 1, false, "23:30", "45", false,
                 "Un allumage à 23:30 pour 45 mn finirait après minuit", ""},
        SaveCase{"no power-on, any duration", 1, true, "0:00", "90", false, "", "0:00"},
        SaveCase{"shutdown line ignores the duration box", 0, true, "18:00", "x", false, "",
                 "18:00"},
        SaveCase{"synchronised within the day", 0, true, "18:00", "", true, "", "18:00"},
        SaveCase{"synchronised past the last minute", 0, true, "23:58", "", true,
                 "Avec « synchroniser tous les groupes avec ces horaires », le groupe C serait",
                 ""},
        SaveCase{"synchronised past the carry", 1, false, "7:58", "", true, "", "7:58"}));

}  // namespace
}  // namespace vt::power
