#include "power/periodic_jobs.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

class PeriodicJobsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.Prefs.ocs_server = "srv";
        state.Prefs.ocs_login = "ocs";
        state.Prefs.ocs_pwd = "pw";
        writeBytes("vt_arpsift.exe", "");
        writeBytes("vt_ocs_hardware", "");
    }
    PeriodicJobs make() {
        return PeriodicJobs(
            state, services(),
            PeriodicJobs::Steps{
                [this] { ran.push_back("ping"); }, [this] { ran.push_back("leases"); },
                [this](const std::string& message) { reported.push_back(message); }});
    }
    // What one quiet tick ran: the steps and the programs started.
    Lines tick(PeriodicJobs& jobs) {
        ran.clear();
        processes.started.clear();
        jobs.quietTick();
        Lines all = ran;
        for (const std::string& line : processes.started) {
            all.push_back(line.find("arpsift") != std::string::npos ? "arpsift" : "hardware");
        }
        return all;
    }

    Lines ran;
    Lines reported;
};

TEST_F(PeriodicJobsTest, EachJobOnItsRhythmOfQuietTicks) {
    PeriodicJobs jobs = make();
    const std::vector<std::pair<int, Lines>> expected = {{1, {"ping", "hardware"}},
                                                         {2, {"leases"}},
                                                         {3, {"arpsift"}},
                                                         {4, {}},
                                                         {10, {"ping"}},
                                                         {12, {"arpsift"}},
                                                         {16, {"hardware"}},
                                                         {17, {"leases"}},
                                                         {46, {"ping", "hardware"}}};
    int tickNumber = 0;
    for (const auto& [number, steps] : expected) {
        while (tickNumber + 1 < number) {
            jobs.quietTick();
            ++tickNumber;
        }
        EXPECT_EQ(tick(jobs), steps) << "tick " << number;
        ++tickNumber;
    }
    EXPECT_EQ(state.TickCount, 46);
}

TEST_F(PeriodicJobsTest, ProgramsAreStartedHiddenFromTheDataDirectory) {
    EXPECT_EQ(cacheToolCommandLine(state), path("") + "vt_arpsift.exe");
    EXPECT_EQ(hardwareInventoryCommandLine(state),
              "\"" + path("") + "vt_ocs_hardware.exe\" srv ocs");
    state.DataDir = "/opt/mes outils/";
    EXPECT_EQ(cacheToolCommandLine(state), "\"/opt/mes outils/vt_arpsift.exe\"");
}

TEST_F(PeriodicJobsTest, MissingProgramIsNotStartedAndSaidSo) {
    files().removeFile("vt_arpsift.exe");
    files().removeFile("vt_ocs_hardware");
    PeriodicJobs jobs = make();
    state.TickCount = 30;  // the hardware export
    jobs.quietTick();
    state.TickCount = 2;
    jobs.quietTick();
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(console.lines,
              (Lines{"programme absent, non lancé : " + path("") + "vt_ocs_hardware.exe",
                     "programme absent, non lancé : " + path("") + "vt_arpsift.exe"}));
}

TEST_F(PeriodicJobsTest, FailingStepIsReportedAndTheCountGoesOn) {
    PeriodicJobs jobs(
        state, services(),
        PeriodicJobs::Steps{[] { throw FileError::cannotCreate("c:\\ping0.bat"); }, nullptr,
                            [this](const std::string& message) { reported.push_back(message); }});
    jobs.quietTick();
    EXPECT_EQ(state.TickCount, 1);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(console.lines.front(), reported.front());
    EXPECT_EQ(processes.started.size(), 1u);  // the hardware export still started
    EXPECT_EQ(processes.startedEnvironments.front(),
              (platform::EnvironmentEntries{{"VANTOREL_OCS_PASSWORD", "pw"}}));
}

}  // namespace
}  // namespace vt::power
