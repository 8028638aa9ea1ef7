#include "power/timetable_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/test_clock.h"
#include "platform/process_lock.h"
#include "power/timetable_files.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

// Two schedulers on one data folder, as the program and the service are: only the holder of
// the lock fires a due action; the other says who holds it, and takes over at its next minute
// once the holder is gone.
class TimetableRunnerTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "Autres"};
        state.Schedules.resize(2);
        state.Schedules[0].ShutdownTime = "8:00";
        state.MacList = {"PC1 02-00-00-00-00-01"};
        writeLines("SALLE1", {"PC1"});
        writeLines("settings.ini", {"SALLE1", "0:00+Tous-", "8:00+Tous", "", "NA"});
        clock.setDate(2026, 12, 7);
        clock.set(8, 0, 20);
        jobs = std::make_unique<discovery::BackgroundJobs>(state, services());
    }
    void TearDown() override {
        runners.clear();
        jobs.reset();
        TempDirTest::TearDown();
    }
    TimetableRunner& addRunner(const char* name) {
        return *runners.emplace_back(std::make_unique<TimetableRunner>(
            state, services(), *jobs, name, TimetableRunner::Hooks{}));
    }
    std::size_t shutdownBatches() const {
        return std::count(processes.started.begin(), processes.started.end(),
                          state.DataDir + "shutdnSALLE1.bat");
    }

    std::unique_ptr<discovery::BackgroundJobs> jobs;
    std::vector<std::unique_ptr<TimetableRunner>> runners;
};

TEST_F(TimetableRunnerTest, OnlyTheHolderOfTheLockRunsTheTimetablesAndTheOtherTakesOver) {
    TimetableRunner& program = addRunner(kProgramHolderName);
    TimetableRunner& service = addRunner(kServiceHolderName);
    program.start();
    service.start();
    EXPECT_TRUE(program.holdsTimetables());
    EXPECT_FALSE(service.holdsTimetables());
    const std::string pid = std::to_string(platform::currentProcessId());
    EXPECT_EQ(console.lines,
              (Lines{"Planification assurée par Vantorel (pid " + pid + ")",
                     "Planification assurée par Vantorel (pid " + pid + "), en attente"}));

    program.tick();
    service.tick();
    EXPECT_EQ(shutdownBatches(), 1u);
    // The timetable's shutdown is what the consumption report counts as saved.
    EXPECT_EQ(readLines("consommation.csv"), Lines{"07/12/2026;08:00:20;SALLE1;PC1;éteint;arrêt;"});

    console.lines.clear();
    runners.erase(runners.begin());  // the program ends
    clock.set(8, 1, 20);
    service.tick();
    EXPECT_TRUE(service.holdsTimetables());
    EXPECT_EQ(shutdownBatches(), 2u);
    EXPECT_EQ(console.lines.front(), "Planification assurée par le service (pid " + pid + ")");
}

TEST_F(TimetableRunnerTest, AFolderThatRefusesTheLockSuspendsTheTimetablesAndSaysSo) {
    state.DataDir = path("absent/");
    TimetableRunner& service = addRunner(kServiceHolderName);
    service.start();
    service.tick();
    EXPECT_FALSE(service.holdsTimetables());
    EXPECT_EQ(shutdownBatches(), 0u);
    EXPECT_EQ(console.lines, Lines{"Impossible de créer le fichier " + path("absent/") +
                                   "vt_scheduler.lck : planification suspendue"});
}

// What the window saves reaches the service at its next minute; what did not change is not read
// again.
TEST_F(TimetableRunnerTest, FilesThatChangedOnDiskAreReadAgain) {
    writeLines("localGM", {"SALLE1"});
    TimetableFiles followed(state, services());
    followed.noteLoaded();
    followed.reloadChanged();
    EXPECT_TRUE(console.lines.empty());

    writeLines("localGM", {"SALLE1", "CDI"});
    writeLines("settings.ini", {"CDI", "7:45+Tous-", "0:00+Tous", "", "NA"});
    followed.reloadChanged();
    EXPECT_EQ(state.GroupList, (Lines{"SALLE1", "CDI", "Autres"}));
    ASSERT_EQ(state.Schedules.size(), 3u);
    EXPECT_EQ(state.Schedules[1].PowerOnTime, "7:45");
    EXPECT_EQ(state.Schedules[0].ShutdownTime, "0:00");  // SALLE1's record is gone
    EXPECT_EQ(console.lines, (Lines{"localGM relu : 2 groupe(s)",
                                    "settings.ini modifié : horaires du jour relus"}));
}

struct ClockCase {
    const char* setting;
    long long elapsedMs;  // real time since the anchor
    const char* shown;    // "YYYY-MM-DD HH:MM:SS.mmm weekday", empty when refused
};

class TestClockTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(TestClockTest, ReadsTheStartThenRunsSpeedTimesFaster) {
    const ClockCase& c = GetParam();
    const auto anchor = std::chrono::system_clock::time_point(std::chrono::seconds(1000));
    const auto setting = parseTestClock(c.setting, anchor);
    ASSERT_EQ(setting.has_value(), *c.shown != '\0') << c.setting;
    if (!setting) {
        return;
    }
    const auto elapsed = std::chrono::milliseconds(
        static_cast<long long>(static_cast<double>(c.elapsedMs) * setting->speed));
    const platform::LocalDateTime t = advancedBy(setting->start, elapsed);
    char shown[48];
    std::snprintf(shown, sizeof shown, "%04d-%02d-%02d %02d:%02d:%02d.%03d %d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.millisecond, t.isoWeekday);
    EXPECT_EQ(std::string(shown), c.shown) << c.setting;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, TestClockTest,
    ::testing::Values(ClockCase{"2026-12-07T07:59:00,60", 1500, "2026-12-07 08:00:30.000 1"},
                      // Past midnight and the end of a year, onto the next weekday.
                      ClockCase{"2026-12-31T23:59:30,120", 1000, "2027-01-01 00:01:30.000 5"},
                      ClockCase{"2028-02-28T12:00:00,1,5.5", 86400000, "2028-02-29 12:00:00.000 2"},
                      ClockCase{"2026-02-30T07:00:00,60", 0, ""},
                      ClockCase{"2026-12-07T24:00:00,60", 0, ""},
                      ClockCase{"2026-12-07T07:00:00,0.5", 0, ""},
                      ClockCase{"2026-12-07T07:00:00,60,x", 0, ""},
                      ClockCase{"2026-12-07 07:00:00,60", 0, ""}));

}  // namespace
}  // namespace vt::power
