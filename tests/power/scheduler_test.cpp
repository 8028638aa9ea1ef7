#include "power/scheduler.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/file_error.h"
#include "core/school_calendar.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;

platform::LocalDateTime at(int hour, int minute, int second = 0, int millisecond = 0) {
    platform::LocalDateTime when;
    when.hour = hour;
    when.minute = minute;
    when.second = second;
    when.millisecond = millisecond;
    return when;
}

struct DueCase {
    const char* time;
    platform::LocalDateTime now;
    bool due;
};

class IsDueTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(IsDueTest, DueInTheThreeMinutesAfterTheTime) {
    const DueCase& c = GetParam();
    const auto& n = c.now;
    EXPECT_EQ(IsDue(c.time, c.now), c.due)
        << c.time << " at " << n.hour << ":" << n.minute << ":" << n.second << "." << n.millisecond;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, IsDueTest,
    ::testing::Values(
        DueCase{"7:30", at(7, 30, 0, 0), false}, DueCase{"7:30", at(7, 30, 0, 1), true},
        DueCase{"7:30", at(7, 30, 20), true}, DueCase{"7:30", at(7, 32, 20), true},
        DueCase{"7:30", at(7, 33, 0, 0), true}, DueCase{"7:30", at(7, 33, 0, 1), false},
        DueCase{"7:30", at(7, 29, 59, 999), false}, DueCase{"07:30", at(7, 31), true},
        DueCase{" 7:30", at(7, 31), true}, DueCase{"8:5", at(8, 6), true},
        DueCase{"7:58", at(8, 0, 30), true},  // the window carries into the next hour
        DueCase{"0:00", at(0, 1), false}, DueCase{"00:00", at(0, 1), true},
        DueCase{"00:00", at(0, 0, 0, 0), false},
        // Across midnight.
        DueCase{"23:58", at(23, 58, 0, 1), true}, DueCase{"23:58", at(23, 59, 59, 999), true},
        DueCase{"23:58", at(0, 0, 0, 0), true}, DueCase{"23:58", at(0, 1, 0, 0), true},
        DueCase{"23:58", at(0, 1, 0, 1), false}, DueCase{"23:57", at(0, 0, 0, 0), true},
        DueCase{"23:57", at(0, 0, 0, 1), false}, DueCase{"23:59", at(23, 58, 30), false},
        DueCase{"23:59", at(0, 2), true}, DueCase{"23:59", at(12, 0), false},
        // Texts that are no time of day.
        DueCase{"24:05", at(0, 6), false}, DueCase{"8:70", at(9, 11), false},
        DueCase{"-1:30", at(23, 31), false}, DueCase{"7:30 ", at(7, 31), false},
        DueCase{"730", at(7, 31), false}, DueCase{"", at(0, 1), false},
        DueCase{"a:b", at(0, 1), false}, DueCase{":", at(0, 1), false},
        DueCase{"99999999999:00", at(0, 1), false}));

struct DerivedCase {
    const char* powerOn;
    const char* duration;
    std::optional<std::string> derived;
};

class DerivedShutdownTest : public ::testing::TestWithParam<DerivedCase> {};

TEST_P(DerivedShutdownTest, OnlyARealPowerOnAndAPositiveDurationGiveATime) {
    const DerivedCase& c = GetParam();
    GroupDaySchedule schedule;
    schedule.PowerOnTime = c.powerOn;
    schedule.Duration = c.duration;
    EXPECT_EQ(derivedShutdownTime(schedule), c.derived) << c.powerOn << " + " << c.duration;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DerivedShutdownTest,
    ::testing::Values(
        DerivedCase{"7:30", "60", "8:30"}, DerivedCase{"7:30", "35", "8:5"},
        DerivedCase{"7:30", "90", "9:0"}, DerivedCase{"00:00", "30", "0:30"},
        DerivedCase{"22:00", "119", "23:59"}, DerivedCase{"7:30", "", std::nullopt},
        DerivedCase{"7:30", "0", std::nullopt}, DerivedCase{"7:30", "-5", std::nullopt},
        // The duration counts by its leading digits only.
        DerivedCase{"7:30", "1h", "7:31"}, DerivedCase{"7:30", "30min", "8:0"},
        DerivedCase{"7:30", "$1E", std::nullopt}, DerivedCase{"7:30", "0x1E", std::nullopt},
        DerivedCase{"7:30", "+30", std::nullopt}, DerivedCase{"7:30", " 30", std::nullopt},
        DerivedCase{"0:00", "60", std::nullopt}, DerivedCase{"", "60", std::nullopt},
        DerivedCase{"8:70", "5", std::nullopt}, DerivedCase{"23:30", "30", std::nullopt},
        DerivedCase{"7:30", "2147483647", std::nullopt}));

// Records the power commands instead of running them; a group may be made to fail.
class RecordingActions : public PowerActions {
public:
    void PowerUp(const std::string& group) override { record("on " + group); }
    void Shutdown(const std::string& group) override { record("off " + group); }
    std::vector<std::string> calls;
    std::string failingGroupCall;

private:
    void record(const std::string& call) {
        calls.push_back(call);
        if (call == failingGroupCall) {
            throw FileError::cannotOpen("G1");
        }
    }
};

class SchedulerTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"G1", "G2", "Autres"};
        state.Schedules.resize(3);
        scheduler = std::make_unique<Scheduler>(state, services(), actions);
        scheduler->setQuietTick([this] { ++quietTicks; });
    }

    // The calls of one tick at the given time.
    std::vector<std::string> tickAt(int hour, int minute, int second = 20) {
        actions.calls.clear();
        clock.set(hour, minute, second);
        scheduler->Timer1Timer();
        return actions.calls;
    }

    void schedule(std::size_t group, std::string on, std::string off, std::string duration) {
        state.Schedules[group].PowerOnTime = std::move(on);
        state.Schedules[group].ShutdownTime = std::move(off);
        state.Schedules[group].Duration = std::move(duration);
    }

    RecordingActions actions;
    std::unique_ptr<Scheduler> scheduler;
    int quietTicks = 0;
};

using Calls = std::vector<std::string>;

TEST_F(SchedulerTest, IntervalIsOneMinute) {
    EXPECT_EQ(kSchedulerInterval.count(), 60000);
}

TEST_F(SchedulerTest, PowerOnShutdownAndDurationFireOnThreeTicksEach) {
    schedule(0, "7:30", "18:00", "60");
    EXPECT_EQ(tickAt(7, 29), Calls{});
    for (int minute : {30, 31, 32}) {
        EXPECT_EQ(tickAt(7, minute), Calls{"on G1"}) << minute;
    }
    EXPECT_EQ(tickAt(7, 33), Calls{});
    EXPECT_EQ(tickAt(8, 29), Calls{});
    for (int minute : {30, 31, 32}) {
        EXPECT_EQ(tickAt(8, minute), Calls{"off G1"}) << minute;
    }
    EXPECT_EQ(tickAt(8, 33), Calls{});
    EXPECT_EQ(tickAt(18, 0), Calls{"off G1"});
}

TEST_F(SchedulerTest, DurationPastTheHourGivesTheDerivedTime) {
    schedule(0, "7:30", "0:00", "90");
    EXPECT_EQ(tickAt(9, 0, 0), Calls{});
    EXPECT_EQ(tickAt(9, 0, 1), Calls{"off G1"});
    EXPECT_EQ(tickAt(9, 3, 0), Calls{"off G1"});
    EXPECT_EQ(tickAt(9, 3, 1), Calls{});
}

TEST_F(SchedulerTest, SameTimesMeanNoActionForTheGroup) {
    schedule(0, "8:00", "8:00", "0");
    schedule(1, "8:00", "9:00", "");
    EXPECT_EQ(tickAt(8, 1), Calls{"on G2"});
}

TEST_F(SchedulerTest, NoDurationMeansNoShutdownOnThePowerUpTicks) {
    schedule(0, "7:30", "18:00", "");
    EXPECT_EQ(tickAt(7, 31), Calls{"on G1"});
    schedule(0, "7:30", "18:00", "0");
    EXPECT_EQ(tickAt(7, 31), Calls{"on G1"});
}

TEST_F(SchedulerTest, NoPowerOnMeansNoShutdownAtMidnightPlusTheDuration) {
    schedule(0, "0:00", "18:00", "30");
    EXPECT_EQ(tickAt(0, 1), Calls{});
    EXPECT_EQ(tickAt(0, 31), Calls{});
    schedule(0, "0:00", "18:00", "");
    EXPECT_EQ(tickAt(0, 1), Calls{});
}

TEST_F(SchedulerTest, GroupsRunInListOrderAndAutresIsPassedOver) {
    schedule(0, "7:00", "7:30", "30");
    schedule(1, "7:30", "0:00", "");
    schedule(2, "7:30", "7:31", "");
    EXPECT_EQ(tickAt(7, 31), (Calls{"off G1", "off G1", "on G2"}));
}

TEST_F(SchedulerTest, QuietTickRunsOnlyWhenNoGroupActionFired) {
    schedule(0, "7:30", "18:00", "");
    tickAt(7, 31);
    EXPECT_EQ(quietTicks, 0);
    tickAt(7, 34);
    tickAt(7, 35);
    EXPECT_EQ(quietTicks, 2);
}

TEST_F(SchedulerTest, FailedActionEndsTheTickAndReachesTheCaller) {
    schedule(0, "7:30", "18:00", "");
    schedule(1, "7:30", "18:00", "");
    actions.failingGroupCall = "on G1";
    clock.set(7, 31, 0);
    EXPECT_THROW(scheduler->Timer1Timer(), FileError);
    EXPECT_EQ(actions.calls, Calls{"on G1"});
    EXPECT_EQ(quietTicks, 0);
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(SchedulerTest, ScheduleIsReloadedJustAfterMidnight) {
    writeLines("settings.ini", {"G2", "6:45+Tous-20", "17:15+Tous", "", "NA"});
    tickAt(0, 0, 59);
    EXPECT_EQ(state.Schedules[1].PowerOnTime, "0:00");
    tickAt(0, 1, 30);
    EXPECT_EQ(state.Schedules[1].PowerOnTime, "6:45");
    EXPECT_EQ(state.Schedules[1].ShutdownTime, "17:15");
    EXPECT_EQ(state.Schedules[1].Duration, "20");
}

TEST_F(SchedulerTest, SoftwareInventoryStartsOnEveryTickAfterHalfPastSeven) {
    state.Prefs.ocs_server = "ocs.lycee";
    state.Prefs.ocs_login = "admin";
    state.Prefs.ocs_pwd = "s3cret mot";
    schedule(0, "7:30", "18:00", "");
    const std::string expected = "\"" + state.DataDir + "vt_ocs_softwares.exe\" ocs.lycee admin";
    const platform::EnvironmentEntries password{{"VANTOREL_OCS_PASSWORD", "s3cret mot"}};
    tickAt(7, 30, 0);
    EXPECT_TRUE(processes.started.empty());
    tickAt(7, 30, 20);  // fired
    schedule(0, "0:00", "18:00", "");
    tickAt(7, 32, 20);  // quiet
    tickAt(7, 33, 20);
    EXPECT_EQ(processes.started, (std::vector<std::string>{expected, expected}));
    EXPECT_EQ(processes.startedEnvironments,
              (std::vector<platform::EnvironmentEntries>{password, password}));
}

TEST_F(SchedulerTest, ScheduleTableShorterThanTheGroupListIsNoFault) {
    state.Schedules.clear();
    EXPECT_NO_THROW(tickAt(7, 31));
    EXPECT_EQ(state.Schedules.size(), 3u);
}

// With the 2026-2027 calendar shipped with the program, dropped into the data folder.
TEST_F(SchedulerTest, HolidayKeepsRoomsOffSaysSoOncePerDayAndStillShutsDown) {
    writeBytes(kSchoolCalendarFile, *files().readFile(test::binDir() + "/" + kSchoolCalendarFile));
    state.Prefs.zone_vacances = "B";
    schedule(0, "7:30", "18:00", "60");
    schedule(1, "7:30", "18:00", "");
    clock.setDate(2026, 12, 21);
    EXPECT_EQ(tickAt(7, 31), Calls{});
    EXPECT_EQ(tickAt(7, 32), Calls{});
    EXPECT_EQ(tickAt(8, 31), Calls{"off G1"});
    EXPECT_EQ(tickAt(18, 1), (Calls{"off G1", "off G2"}));
    clock.setDate(2027, 3, 29);  // Easter Monday, a school day of zone B
    EXPECT_EQ(tickAt(7, 31), (Calls{"on G1", "on G2"}));
    state.Prefs.pas_allumage_feries = true;
    clock.setDate(2028, 4, 17);  // Easter Monday again, the next year
    EXPECT_EQ(tickAt(7, 31), Calls{});
    EXPECT_EQ(console.lines,
              (std::vector<std::string>{"Vacances scolaires (zone B) : pas d'allumage de G1",
                                        "Vacances scolaires (zone B) : pas d'allumage de G2",
                                        "Jour férié (Lundi de Pâques) : pas d'allumage de G1",
                                        "Jour férié (Lundi de Pâques) : pas d'allumage de G2"}));
}

}  // namespace
}  // namespace vt::power
