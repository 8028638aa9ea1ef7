// Power commands on the simulated school network with the real programs: the scheduler's
// batches run under vt_cmd, Wake-on-LAN goes out with wolcmd, shutdowns with vt_shutdown and
// Samba's net, the follow-up pings with vt_echo. Only the follow-up timers and the clock are
// the test's own. Runs inside the admin namespace: "scripts/simnet exec" starts it there.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <thread>

#include "core/incident_logs.h"
#include "core/shutdown_account.h"
#include "discovery/background_jobs.h"
#include "power/follow_up.h"
#include "power/power_commands.h"
#include "power/scheduler.h"
#include "tests/simnet/simnet_test.h"
#include "tests/support/await_jobs.h"

namespace vt::power {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

const Lines kSalle1 = test::SimnetTest::room("SALLE1");

class SimnetPowerTest : public test::SimnetTest {
protected:
    void SetUp() override {
        SimnetTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        state.GroupList = {"SALLE1", "Autres"};
        state.Schedules.resize(2);
        for (const std::string& machine : kSalle1) {
            state.MacList.push_back(machine + " " + mac(machine));
            state.IpList.push_back(machine + " " + address(machine));
        }
        state.Prefs.masque = "255.255.255.0";
        state.WolIncidents = {kWolLogHeader};
        state.ShutdownIncidents = {kShutdownLogHeader};
        clock.setDate(2026, 12, 7);
    }
    void TearDown() override {
        scheduler.reset();
        followUps.reset();
        commands.reset();
        jobs.reset();
        if (onSimnet()) {
            for (const std::string& machine : kSalle1) {
                simnet({"on", machine});
            }
        }
        SimnetTest::TearDown();
    }

    // The power engine wired as the main window wires it, on the real platform.
    void startEngine() {
        m_services.emplace(realServices());
        jobs = std::make_unique<discovery::BackgroundJobs>(state, *m_services);
        commands = std::make_unique<PowerCommands>(state, *m_services);
        followUps = std::make_unique<FollowUps>(state, *m_services, *jobs);
        commands->setPowerUpFollowUp([this](const std::string& group, const FollowUpScope& scope) {
            followUps->FollowUpLaunch(group, scope);
        });
        commands->setShutdownFollowUp([this](const std::string& group, const FollowUpScope& scope) {
            followUps->FollowDownLaunch(group, scope);
        });
        scheduler = std::make_unique<Scheduler>(state, *m_services, *commands);
    }

    std::unique_ptr<discovery::BackgroundJobs> jobs;
    std::unique_ptr<PowerCommands> commands;
    std::unique_ptr<FollowUps> followUps;
    std::unique_ptr<Scheduler> scheduler;

private:
    std::optional<Services> m_services;
};

// A due time repeats its command on the three ticks of its window, as the timetable of the
// demonstration does: the room is checked once, after the last repeat, and each machine that
// failed is logged once.
TEST_F(SimnetPowerTest, ScheduledPowerUpWakesEveryMachineButTheOneThatIgnoresWakeOnLan) {
    for (const std::string& machine : kSalle1) {
        ASSERT_EQ(simnet({"off", machine}).exitCode, 0);
    }
    writeLines("SALLE1", kSalle1);
    state.Schedules[0].PowerOnTime = "8:00";

    startEngine();

    for (int minute = 0; minute < 3; ++minute) {
        clock.set(8, minute, 20);
        ASSERT_TRUE(scheduler->Timer1Timer());
        timers.advance(60s);
    }
    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-03", "SALLE1-04"}, "allumée", 10s));
    EXPECT_EQ(stateOf("SALLE1-02"), "éteinte");

    timers.advance(kPowerUpFollowUpDelay - 60s);
    EXPECT_EQ(jobs->inFlightCount(), 4u);
    ASSERT_TRUE(test::awaitJobs(*jobs, timers));

    show("wol.followup", state.WolIncidents);
    EXPECT_EQ(state.WolIncidents,
              (Lines{kWolLogHeader,
                     "07/12/2026;08:02:20;SALLE1-02;ne s'est pas mis en marche;raison inconnue;"}));
}

TEST_F(SimnetPowerTest, ScheduledShutdownLeavesTheRefusingAndTheMarkedMachineOn) {
    writeLines("SALLE1", {"SALLE1-01", "SALLE1-02", "SALLE1-03", "SALLE1-04*"});
    state.Prefs.shutdown_wait = 2;
    state.Prefs.shutdown_comment = "Fin des cours";
    state.Schedules[0].ShutdownTime = "16:30";
    startEngine();

    // Three ticks of the due window; each batch asks the machines side by side and leaves one
    // line a machine in the log.
    for (int minute = 0; minute < 3; ++minute) {
        clock.set(16, 30 + minute, 20);
        ASSERT_TRUE(scheduler->Timer1Timer());
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (readLines("shutdown.log").size() < 4u * (minute + 1) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(100ms);
        }
        if (minute == 0) {
            EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-02"}, "éteinte", 10s));
        }
        timers.advance(60s);
    }
    EXPECT_EQ(stateOf("SALLE1-03"), "allumée");
    EXPECT_EQ(stateOf("SALLE1-04"), "allumée");

    const Lines log = readLines("shutdown.log");
    show("shutdown.log", log);
    ASSERT_EQ(log.size(), 12u);
    Lines results;
    for (std::size_t i = 0; i < 4; ++i) {
        results.push_back(log[i].substr(std::string("07/12/2026;16:30:20;").size()));
    }
    std::sort(results.begin(), results.end());  // the answers come in any order
    EXPECT_EQ(results, (Lines{"SALLE1-01;arrêt demandé;", "SALLE1-02;arrêt demandé;",
                              "SALLE1-03;accès refusé;", "SALLE1-04;jamais éteinte (marquée *);"}));

    timers.advance(kShutdownFollowUpDelay - 60s);
    // The marked machine is pinged for the room's LED, never logged.
    EXPECT_EQ(jobs->inFlightCount(), 4u);
    ASSERT_TRUE(test::awaitJobs(*jobs, timers));
    show("shutdown.followup", state.ShutdownIncidents);
    // One check for the three repeats, and the cause the shutdown tool gave.
    EXPECT_EQ(state.ShutdownIncidents,
              (Lines{kShutdownLogHeader,
                     "07/12/2026;16:32:20;SALLE1-03;ne s'est pas arrêté;accès refusé;"}));
    EXPECT_NE(std::find(console.lines.begin(), console.lines.end(),
                        "SALLE1-04 : jamais éteinte (marquée *), pas de contrôle"),
              console.lines.end());
}

struct DirectCase {
    Lines arguments;
    std::string output;
};

class SimnetShutdownToolTest : public SimnetPowerTest,
                               public ::testing::WithParamInterface<DirectCase> {};

TEST_P(SimnetShutdownToolTest, ResultOfOneCommand) {
    Lines command{test::binDir() + "/vt_shutdown"};
    command.insert(command.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const test::ProgramResult result = test::runProgram(command, 40s);
    EXPECT_EQ(result.standardOutput, GetParam().output) << result.standardError;
}

INSTANTIATE_TEST_SUITE_P(
    Machines, SimnetShutdownToolTest,
    ::testing::Values(
        // Nothing pending: Samba still answers that the abort was carried out.
        DirectCase{{"-a", "-m", "\\\\SALLE2-02"}, "SALLE2-02 : annulation demandée\n"},
        DirectCase{{"-a", "-m", "\\\\SALLE1-03"}, "SALLE1-03 : accès refusé\n"},
        DirectCase{{"-a", "-m", "\\\\CDI-04"}, "CDI-04 : machine injoignable\n"},
        // Unknown to the resolver: net asks by broadcast on the bridge, and nobody answers.
        DirectCase{{"-a", "-m", "\\\\SALLE-\xC3\x89TUDE"},
                   "SALLE-\xC3\x89TUDE : machine injoignable\n"}));

// The account as the preferences write it, typed from the test account's file: for its owner
// only, and the one the shutdown tool uses, as the preferences' trial runs it.
TEST_F(SimnetPowerTest, ShutdownAccountOfThePreferencesIsTheOneTheToolUses) {
    const auto typed = readShutdownAccount(files(), std::getenv("VTSIM_AUTH"));
    ASSERT_TRUE(typed);
    const std::pair<ShutdownAccount, Lines> cases[] = {
        {*typed, {"SALLE1-03 : accès refusé\n", "SALLE2-02 : annulation demandée\n"}},
        {{typed->domain, typed->user, "pas-le-bon"}, {"SALLE2-02 : accès refusé\n"}},
    };
    for (const auto& [account, outputs] : cases) {
        saveShutdownAccount(files(), path("smb.auth"), accountToSave(account, std::nullopt));
        struct stat info {};
        ASSERT_EQ(::stat(path("smb.auth").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        test::ScopedEnvironment file("VANTOREL_SMB_AUTH", path("smb.auth").c_str());
        for (const std::string& output : outputs) {
            const std::string machine = output.substr(0, output.find(' '));
            const test::ProgramResult result = test::runProgram(
                {test::binDir() + "/vt_shutdown", "-a", "-m", "\\\\" + machine}, 40s);
            EXPECT_EQ(result.standardOutput, output) << result.standardError;
        }
    }
}

}  // namespace
}  // namespace vt::power
