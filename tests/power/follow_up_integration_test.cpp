// A power-up followed by its check, with the real tools: the batch runs under vt_cmd, the
// ping jobs run vt_echo, and only the follow-up timer and the clock are the test's own.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/incident_logs.h"
#include "discovery/background_jobs.h"
#include "power/follow_up.h"
#include "power/incident_reports.h"
#include "power/power_commands.h"
#include "tests/support/await_jobs.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

class FollowUpIntegrationTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        for (const char* tool : {"vt_cmd", "vt_echo", "wolcmd"}) {
            if (!fs::exists(test::binDir() + "/" + tool)) {
                GTEST_SKIP() << tool << " not built";
            }
        }
        // The data directory holds the tools as an installation does: the ping line names
        // DataDir + "vt_echo.exe", the power-up batch runs "wolcmd" after its "cd".
        for (const char* tool : {"vt_echo", "wolcmd"}) {
            fs::create_symlink(test::binDir() + "/" + tool, path(tool));
        }
        clock.setDate(2026, 12, 6);
        clock.set(7, 35, 20);
    }
};

TEST_F(FollowUpIntegrationTest, PowerUpCheckLogsTheMachineThatDoesNotAnswerThenReportsIt) {
    writeLines("SALLE1", {"localhost", "pc-absent.invalid"});
    state.GroupList = {"SALLE1", "Autres"};
    // Both packets go to the loopback's port 9, where nothing listens.
    state.MacList = {"localhost 00-11-22-33-44-55", "pc-absent.invalid 00-11-22-33-44-66"};
    state.IpList = {"localhost 127.0.0.1", "pc-absent.invalid 127.0.0.1"};
    state.Prefs.masque = "255.255.255.255";
    state.WolTargetIp = "127.0.0.1";
    state.WolIncidents = {kWolLogHeader};

    const Services services = realServices();
    discovery::BackgroundJobs jobs(state, services);
    PowerCommands commands(state, services);
    FollowUps followUps(state, services, jobs);
    commands.setPowerUpFollowUp([&](const std::string& group, const FollowUpScope& scope) {
        followUps.FollowUpLaunch(group, scope);
    });

    commands.PowerUp("SALLE1");
    EXPECT_EQ(readLines("powerupSALLE1.bat"),
              (Lines{"cd " + state.DataDir, "wolcmd 00-11-22-33-44-55 127.0.0.1 255.255.255.255",
                     "wolcmd 00-11-22-33-44-66 127.0.0.1 255.255.255.255"}));
    EXPECT_EQ(jobs.inFlightCount(), 0u);

    timers.advance(kPowerUpFollowUpDelay);
    EXPECT_EQ(jobs.inFlightCount(), 2u);
    ASSERT_TRUE(test::awaitJobs(jobs, timers)) << "the ping jobs did not end within 20 s";

    const std::string incident =
        "06/12/2026;07:35:20;pc-absent.invalid;ne s'est pas mis en marche;raison inconnue;";
    EXPECT_EQ(state.WolIncidents, (Lines{kWolLogHeader, incident}));
    for (const char* line : {"followupReport 0", "followupReport 1", incident.c_str()}) {
        EXPECT_NE(std::find(console.lines.begin(), console.lines.end(), line), console.lines.end())
            << line;
    }
    EXPECT_FALSE(fileExists("drive_c/ping0.txt"));
    EXPECT_FALSE(fileExists("drive_c/ping1.txt"));
    EXPECT_EQ(timers.activeCount(), 0u);

    // The report is opened through the recording platform: no viewer appears on the desk.
    showWolReport(state, this->services());
    EXPECT_EQ(readLines("wol.followup"), (Lines{kWolLogHeader, incident}));
    EXPECT_EQ(readLines("rapport.txt"),
              (Lines{kWolReportTitle, std::string(94, '='), "",
                     "le 06/12/2026 à 07:35:20 l'ordinateur pc-absent.invalid ne s'est pas mis "
                     "en marche.  Cause : raison inconnue;"}));
    EXPECT_EQ(processes.opened, Lines{"notepad.exe|" + state.DataDir + "rapport.txt"});
}

}  // namespace
}  // namespace vt::power
