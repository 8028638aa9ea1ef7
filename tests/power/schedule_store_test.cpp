#include "power/schedule_store.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;

TEST(DayNameTest, NamesEveryIndexAndNothingOutside) {
    const std::vector<std::string> expected = {"Tous",  "lundi",    "mardi",  "mercredi",
                                               "jeudi", "vendredi", "samedi", "dimanche"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(DayName(i), expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(DayName(-1), "");
    EXPECT_EQ(DayName(8), "");
}

struct AddMinutesCase {
    const char* time;
    int minutes;
    const char* expected;
};

class AddMinutesTest : public ::testing::TestWithParam<AddMinutesCase> {};

TEST_P(AddMinutesTest, ShiftsAsTheStoreWritesIt) {
    const AddMinutesCase& c = GetParam();
    EXPECT_EQ(AddMinutes(c.time, c.minutes), c.expected) << c.time << " + " << c.minutes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AddMinutesTest,
    ::testing::Values(AddMinutesCase{"7:5", 0, "7:05"}, AddMinutesCase{"7:50", 15, "8:05"},
                      AddMinutesCase{"23:50", 15, "24:05"}, AddMinutesCase{"7:30", 100, "8:70"},
                      AddMinutesCase{"07:30", 2, "07:32"},  // the hour stays as typed
                      AddMinutesCase{"07:59", 1, "8:00"},   // unless it carries
                      AddMinutesCase{"18:00", 0, "18:00"}, AddMinutesCase{"", 5, ""},
                      AddMinutesCase{"abc", 1, "abc"}, AddMinutesCase{"7:xx", 1, "7:xx"},
                      AddMinutesCase{"x:50", 15, "x:50"}, AddMinutesCase{"x:10", 1, "x:11"}));

class ScheduleStoreTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"SALLE1", "SALLE2", "Autres"};
        resizeSchedules(state);
    }

    void load(int year, int month, int day) {
        clock.setDate(year, month, day);
        LoadTodaySchedule(state, services());
    }

    void save(int group, int entryPoint, std::string time, std::string duration,
              ScheduleMode mode = ScheduleMode::Tous, EditorDays days = {}, bool sync = false) {
        ScheduleEdit edit;
        edit.entryPoint = entryPoint;
        edit.time = std::move(time);
        edit.duration = std::move(duration);
        edit.mode = mode;
        edit.days = std::move(days);
        edit.synchronise = sync;
        SaveSettingsFor(state, files(), group, edit);
    }

    const GroupDaySchedule& salle1() const { return state.Schedules[0]; }
};

TEST_F(ScheduleStoreTest, MissingFileIsCreatedEmptyAndTimesStay) {
    state.Schedules[0].PowerOnTime = "7:30";
    LoadTodaySchedule(state, services());
    EXPECT_EQ(readBytes("settings.ini"), "");
    EXPECT_EQ(salle1().PowerOnTime, "7:30");
    EXPECT_EQ(salle1().ShutdownTime, "0:00");
}

TEST_F(ScheduleStoreTest, LoadGivesOneScheduleEntryPerGroup) {
    state.Schedules.clear();
    writeLines("settings.ini", {});
    LoadTodaySchedule(state, services());
    EXPECT_EQ(state.Schedules.size(), 3u);
}

TEST_F(ScheduleStoreTest, FirstEveryDaySaveCreatesTheWholeRecord) {
    writeLines("settings.ini", {});
    state.Schedules[1].Comment = "salle du fond";
    save(1, kPowerOnEntry, "7:30", "90");
    EXPECT_EQ(readBytes("settings.ini"),
              "SALLE2\r\n7:30+Tous-90\r\n0:00\r\nsalle du fond\r\nNA\r\n");
}

TEST_F(ScheduleStoreTest, SaveWithoutTheFileReportsTheFileErrorAndWritesNothing) {
    EXPECT_THROW(save(0, kPowerOnEntry, "7:30", "90"), FileError);
    EXPECT_FALSE(fileExists("settings.ini"));
}

TEST_F(ScheduleStoreTest, PerDayShutdownAppliesOnItsDaysOnly) {
    writeLines("settings.ini", {});
    EditorDays days;
    days[0] = "17:00";
    days[4] = "16:00";
    save(0, kShutdownEntry, "", "", ScheduleMode::EditBox, days);
    EXPECT_EQ(readLines("settings.ini")[2], "17:00+lundi,16:00+vendredi,");

    load(2026, 12, 11);  // a Friday
    EXPECT_EQ(salle1().ShutdownTime, "16:00");
    load(2026, 12, 9);  // a Wednesday
    EXPECT_EQ(salle1().ShutdownTime, "0:00");
    load(2026, 12, 7);  // a Monday
    EXPECT_EQ(salle1().ShutdownTime, "17:00");
}

TEST_F(ScheduleStoreTest, EveryDayPowerOnLineSetsTimeAndDurationOnAnyDay) {
    writeLines("settings.ini", {"SALLE1", "7:30+Tous-90", "18:30+Tous", "", "NA"});
    for (int day = 7; day <= 13; ++day) {
        load(2026, 12, day);
        EXPECT_EQ(salle1().PowerOnTime, "7:30");
        EXPECT_EQ(salle1().Duration, "90");
        EXPECT_EQ(salle1().ShutdownTime, "18:30");
    }
}

TEST_F(ScheduleStoreTest, PerDayLineWithoutDurationKeepsThePreviousDuration) {
    writeLines("settings.ini", {"SALLE1", "7:30+Tous-45", "0:00", "", "NA"});
    load(2026, 12, 7);
    writeLines("settings.ini", {"SALLE1", "8:00+lundi,", "0:00", "", "NA"});
    load(2026, 12, 7);
    EXPECT_EQ(salle1().PowerOnTime, "8:00");
    EXPECT_EQ(salle1().Duration, "45");
}

TEST_F(ScheduleStoreTest, TodaysEntryWinsElseOnlyATrailingTousEntryApplies) {
    writeLines("settings.ini",
               {"SALLE1", "7:00+Tous,8:00+lundi", "6:00+lundi,19:00+Tous", "c", "NA"});
    load(2026, 12, 7);  // Monday
    EXPECT_EQ(salle1().PowerOnTime, "8:00");
    EXPECT_EQ(salle1().ShutdownTime, "6:00");
    load(2026, 12, 8);  // Tuesday: the power-on line ends on a day entry
    EXPECT_EQ(salle1().PowerOnTime, "0:00");
    EXPECT_EQ(salle1().ShutdownTime, "19:00");
    EXPECT_EQ(salle1().Comment, "c");
}

TEST_F(ScheduleStoreTest, SkipsAutresAndUnknownGroupsAndMatchesNamesWithoutCase) {
    writeLines("settings.ini", {"Autres", "7:00+Tous-5", "8:00+Tous", "", "NA",   //
                                "OLDROOM", "6:00+Tous-5", "9:00+Tous", "", "NA",  //
                                "salle2", "7:45+Tous-", "17:00+Tous", "fond", "NA"});
    load(2026, 12, 7);
    EXPECT_EQ(state.Schedules[2].PowerOnTime, "0:00");
    EXPECT_EQ(state.Schedules[2].ShutdownTime, "0:00");
    EXPECT_EQ(salle1().PowerOnTime, "0:00");
    EXPECT_EQ(state.Schedules[1].PowerOnTime, "7:45");
    EXPECT_EQ(state.Schedules[1].Duration, "");
    EXPECT_EQ(state.Schedules[1].Comment, "fond");
}

// Only the catch-all group's own record is skipped: a group named "AUTRES" is another group.
TEST_F(ScheduleStoreTest, AGroupNamedAutresInCapitalsGetsItsTimes) {
    state.GroupList = {"AUTRES", "SALLE2", "Autres"};
    writeLines("settings.ini", {"Autres", "7:00+Tous-5", "8:00+Tous", "", "NA",  //
                                "AUTRES", "7:15+Tous-30", "16:00+Tous", "", "NA"});
    load(2026, 12, 7);
    EXPECT_EQ(state.Schedules[0].PowerOnTime, "7:15");
    EXPECT_EQ(state.Schedules[0].ShutdownTime, "16:00");
    EXPECT_EQ(state.Schedules[2].PowerOnTime, "0:00");
}

TEST_F(ScheduleStoreTest, ShortLastRecordLoadsWhatItHas) {
    state.Schedules[1].ShutdownTime = "18:00";
    writeLines("settings.ini",
               {"SALLE1", "7:30+Tous-90", "18:30+Tous", "x", "NA", "SALLE2", "6:15+Tous-10"});
    load(2026, 12, 7);
    EXPECT_EQ(state.Schedules[1].PowerOnTime, "6:15");
    EXPECT_EQ(state.Schedules[1].ShutdownTime, "18:00");
    writeLines("settings.ini", {"SALLE1"});
    EXPECT_NO_THROW(load(2026, 12, 7));
}

TEST_F(ScheduleStoreTest, RecordIsFoundOnlyByItsNameLine) {
    // Groups named like a reserved or time line must not take over another record.
    state.GroupList = {"SALLE1", "NA", "0:00", "Autres"};
    resizeSchedules(state);
    writeLines("settings.ini", {"SALLE1", "7:30+Tous-90", "0:00", "", "NA"});
    save(1, kPowerOnEntry, "8:00", "");
    save(2, kShutdownEntry, "19:00", "");
    EXPECT_EQ(readLines("settings.ini"),
              (std::vector<std::string>{"SALLE1", "7:30+Tous-90", "0:00", "", "NA",  //
                                        "NA", "8:00+Tous-", "0:00", "", "NA",        //
                                        "0:00", "0:00+Tous", "19:00+Tous", "", "NA"}));
}

TEST_F(ScheduleStoreTest, ExistingRecordKeepsItsNameAndCommentAndFindsItWithoutCase) {
    writeLines("settings.ini", {"salle1", "0:00+Tous", "0:00", "ancien", "NA"});
    state.Schedules[0].Comment = "nouveau";
    save(0, kShutdownEntry, "18:00", "");
    save(0, kDurationEntry, "7:5", "60");
    EXPECT_EQ(readLines("settings.ini"),
              (std::vector<std::string>{"salle1", "7:5+Tous-60", "18:00+Tous", "ancien", "NA"}));
}

TEST_F(ScheduleStoreTest, RecordAfterAShortLastRecordStartsOnTheRecordGrid) {
    writeLines("settings.ini", {"SALLE1", "7:30+Tous-90"});
    save(1, kShutdownEntry, "18:00", "");
    EXPECT_EQ(readLines("settings.ini"),
              (std::vector<std::string>{"SALLE1", "7:30+Tous-90", "0:00", "", "NA",  //
                                        "SALLE2", "0:00+Tous", "18:00+Tous", "", "NA"}));
    load(2026, 12, 7);
    EXPECT_EQ(state.Schedules[1].ShutdownTime, "18:00");
}

TEST_F(ScheduleStoreTest, PerDayPowerOnLineCarriesTheDurationAndPadsMinutes) {
    writeLines("settings.ini", {});
    EditorDays days;
    days[0] = "7:30";
    days[1] = "8:0";
    days[6] = "bad";
    save(0, kPowerOnEntry, "ignored", "60", ScheduleMode::EditBox, days);
    EXPECT_EQ(readLines("settings.ini")[1], "7:30+lundi,8:00+mardi,bad+dimanche,-60");
    save(0, kDurationEntry, "ignored", "", ScheduleMode::EditBox, EditorDays{});
    EXPECT_EQ(readLines("settings.ini")[1], "");
}

TEST_F(ScheduleStoreTest, LineBreaksInValuesCannotShiftTheRecords) {
    writeLines("settings.ini", {});
    state.Schedules[0].Comment = "deux\r\nlignes";
    save(0, kPowerOnEntry, "7:30\n", "9\r0");
    EXPECT_EQ(readLines("settings.ini").size(), 5u);
}

TEST_F(ScheduleStoreTest, IndexOutsideGroupListChangesNothing) {
    writeLines("settings.ini", {});
    save(7, kPowerOnEntry, "7:30", "");
    save(-1, kPowerOnEntry, "7:30", "");
    save(0, 5, "7:30", "");
    EXPECT_EQ(readBytes("settings.ini"), "");
}

}  // namespace
}  // namespace vt::power
