#include "power/follow_up.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "core/file_error.h"
#include "core/incident_logs.h"
#include "power/power_commands.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using discovery::BackgroundJobs;
using test::TempDirTest;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

class FollowUpTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = "d:\\vt\\";
        clock.setDate(2026, 12, 6);
        clock.set(7, 35, 20);
        jobs = std::make_unique<BackgroundJobs>(state, services());
        followUps = std::make_unique<FollowUps>(state, services(), *jobs);
    }
    void TearDown() override {
        followUps.reset();
        jobs.reset();
        TempDirTest::TearDown();
    }

    // What vt_echo and the batch's last line would leave behind for job n.
    void finishJob(std::uint16_t n, const Lines& result) {
        writeLines("drive_c/ping" + std::to_string(n) + ".txt", result);
        release(n);
    }
    void release(std::uint16_t n) { files().setReadOnly(BackgroundJobs::markerPath(n), false); }
    bool consoleHas(const std::string& line) const {
        return std::find(console.lines.begin(), console.lines.end(), line) != console.lines.end();
    }

    std::unique_ptr<BackgroundJobs> jobs;
    std::unique_ptr<FollowUps> followUps;
};

TEST_F(FollowUpTest, LaunchPingsEveryMachineOfTheGroupAtOnce) {
    writeLines("SALLE1", {"PC01", "", "  ", "PC02 ", "PC07*"});
    followUps->FollowUpLaunch("SALLE1");

    EXPECT_EQ(processes.started, (Lines{"c:\\ping0.bat", "c:\\ping1.bat", "c:\\ping2.bat"}));
    EXPECT_EQ(readLines("drive_c/ping2.bat").front(), "\"d:\\vt\\vt_echo.exe\" PC07 c:\\ping2.txt");
    EXPECT_EQ(console.lines, (Lines{"Lancement de ping PC01...", "Lancement de ping PC02...",
                                    "Lancement de ping PC07..."}));
    EXPECT_EQ(jobs->inFlightCount(), 3u);
}

struct ResultCase {
    const char* name;
    bool powerUp;
    std::string result;
    std::string reportLine;
    Lines wolIncidents;
    Lines shutdownIncidents;
};

class FollowUpResultTest : public FollowUpTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(FollowUpResultTest, OnlyAMachineThatDidNotChangeStateIsLogged) {
    const ResultCase& c = GetParam();
    state.DataDir = path("");
    writeLines("SALLE1", {"PC12"});
    c.powerUp ? followUps->FollowUpLaunch("SALLE1") : followUps->FollowDownLaunch("SALLE1");
    console.lines.clear();

    finishJob(0, {c.result});
    timers.advance(20ms);

    EXPECT_EQ(state.WolIncidents, c.wolIncidents);
    EXPECT_EQ(state.ShutdownIncidents, c.shutdownIncidents);
    // Each incident is in its file as soon as it is found, under the header of a new file.
    for (const auto& [file, header, log] :
         {std::tuple{"wol.followup", kWolLogHeader, &c.wolIncidents},
          std::tuple{"shutdown.followup", kShutdownLogHeader, &c.shutdownIncidents}}) {
        Lines expected = log->empty() ? Lines{} : Lines{header};
        expected.insert(expected.end(), log->begin(), log->end());
        EXPECT_EQ(fileExists(file) ? readLines(file) : Lines{}, expected) << file;
    }
    Lines expectedConsole{c.reportLine};
    for (const Lines* log : {&c.wolIncidents, &c.shutdownIncidents}) {
        expectedConsole.insert(expectedConsole.end(), log->begin(), log->end());
    }
    EXPECT_EQ(console.lines, expectedConsole);
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_FALSE(fileExists("drive_c/ping0.txt"));
    EXPECT_FALSE(fileExists("drive_c/ping0.bat"));
}

INSTANTIATE_TEST_SUITE_P(
    Results, FollowUpResultTest,
    ::testing::Values(
        ResultCase{"SilentAfterPowerUp",
                   true,
                   "PC12=0",
                   "followupReport 0",
                   {"06/12/2026;07:35:20;PC12;ne s'est pas mis en marche;raison inconnue;"},
                   {}},
        ResultCase{"AnsweringAfterPowerUp", true, "PC12=1", "followupReport 0", {}, {}},
        ResultCase{"AnsweringAfterShutdown",
                   false,
                   "PC12=1",
                   "followDownReport 0",
                   {},
                   {"06/12/2026;07:35:20;PC12;ne s'est pas arrêté;raison inconnue;"}},
        ResultCase{"SilentAfterShutdown", false, "PC12=0", "followDownReport 0", {}, {}},
        // Only the exact value counts; anything else vt_echo never writes is no verdict.
        ResultCase{"NoEqualsSign", true, "PC12", "followupReport 0", {}, {}},
        ResultCase{"ValueNotExact", false, "PC12=10", "followDownReport 0", {}, {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FollowUpTest, MarkedMachineIsCheckedAfterAPowerUpUnderItsPlainNameOnly) {
    writeLines("SALLE1", {"PC07*"});
    followUps->FollowUpLaunch("SALLE1");
    finishJob(0, {"PC07=0"});
    timers.advance(20ms);
    EXPECT_EQ(state.WolIncidents,
              Lines{"06/12/2026;07:35:20;PC07;ne s'est pas mis en marche;raison inconnue;"});

    // Never asked to shut down, it still answers: pinged for the room's LED, never logged.
    console.lines.clear();
    bool roomOn = false;
    followUps->setGroupResult([&](const std::string&, bool answered) { roomOn = answered; });
    followUps->FollowDownLaunch("SALLE1");
    EXPECT_EQ(console.lines.front(), "PC07 : jamais éteinte (marquée *), pas de contrôle");
    finishJob(1, {"PC07=1"});
    timers.advance(20ms);
    EXPECT_TRUE(roomOn);
    EXPECT_TRUE(state.ShutdownIncidents.empty());
}

TEST_F(FollowUpTest, ShutdownCheckPingsTheOtherMachinesOfAGroupWithAMarkedOne) {
    writeLines("SALLE1", {"PC01", " PC07* ", "PC02"});
    followUps->FollowDownLaunch("SALLE1");
    EXPECT_EQ(console.lines, (Lines{"Lancement de ping PC01...",
                                    "PC07 : jamais éteinte (marquée *), pas de contrôle",
                                    "Lancement de ping PC07...", "Lancement de ping PC02..."}));
    finishJob(0, {"PC01=1"});
    finishJob(1, {"PC07=1"});
    finishJob(2, {"PC02=0"});
    timers.advance(20ms);
    EXPECT_EQ(state.ShutdownIncidents,
              Lines{"06/12/2026;07:35:20;PC01;ne s'est pas arrêté;raison inconnue;"});
}

TEST_F(FollowUpTest, NothingIsReportedWhileTheMarkerIsReadOnly) {
    writeLines("SALLE1", {"PC12"});
    followUps->FollowUpLaunch("SALLE1");
    writeLines("drive_c/ping0.txt", {"PC12=0"});
    timers.advance(200ms);
    EXPECT_FALSE(consoleHas("followupReport 0"));
    EXPECT_TRUE(state.WolIncidents.empty());
    release(0);
    timers.advance(20ms);
    EXPECT_EQ(state.WolIncidents.size(), 1u);
}

TEST_F(FollowUpTest, MissingResultFileNamesTheJobAndLogsNothing) {
    writeLines("SALLE1", {"PC01", "PC12"});
    followUps->FollowUpLaunch("SALLE1");
    console.lines.clear();
    finishJob(0, {"PC01=1"});
    release(1);
    timers.advance(20ms);

    EXPECT_EQ(console.lines, (Lines{"followupReport 0", "followupReport 1",
                                    "======>vt_echo.exe a échoué sur 1 <======"}));
    EXPECT_TRUE(state.WolIncidents.empty());
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_FALSE(jobs->isInFlight(1));
    timers.advance(100ms);
    EXPECT_EQ(console.lines.size(), 3u);
}

TEST_F(FollowUpTest, EmptyResultFileLogsNothing) {
    writeLines("SALLE1", {"PC12"});
    followUps->FollowDownLaunch("SALLE1");
    console.lines.clear();
    finishJob(0, {});
    timers.advance(20ms);
    EXPECT_EQ(console.lines, Lines{"followDownReport 0"});
    EXPECT_TRUE(state.ShutdownIncidents.empty());
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_FALSE(fileExists("drive_c/ping0.txt"));
}

TEST_F(FollowUpTest, ReportsArriveInAnyOrderAndAppendToTheLog) {
    state.WolIncidents = {"header"};
    writeLines("SALLE1", {"PC01", "PC02", "PC03"});
    followUps->FollowUpLaunch("SALLE1");
    finishJob(2, {"PC03=0"});
    timers.advance(20ms);
    clock.set(7, 35, 21);
    finishJob(0, {"PC01=0"});
    finishJob(1, {"PC02=1"});
    timers.advance(20ms);
    EXPECT_EQ(
        state.WolIncidents,
        (Lines{"header", "06/12/2026;07:35:20;PC03;ne s'est pas mis en marche;raison inconnue;",
               "06/12/2026;07:35:21;PC01;ne s'est pas mis en marche;raison inconnue;"}));
}

TEST_F(FollowUpTest, UnreadableGroupFilePingsNothing) {
    for (const std::string group : {"ABSENT", "..\\SALLE1", "c:\\SALLE1", ""}) {
        EXPECT_THROW(followUps->FollowUpLaunch(group), FileError) << group;
        EXPECT_THROW(followUps->FollowDownLaunch(group), FileError) << group;
    }
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(console.lines.empty());
    EXPECT_EQ(state.JobCounter, 0);
    EXPECT_EQ(timers.activeCount(), 0u);
}

TEST_F(FollowUpTest, JobsThatOutliveTheFollowUpsOnlyEnd) {
    writeLines("SALLE1", {"PC12"});
    followUps->FollowUpLaunch("SALLE1");
    followUps.reset();
    finishJob(0, {"PC12=0"});
    timers.advance(20ms);
    EXPECT_TRUE(state.WolIncidents.empty());
    EXPECT_FALSE(jobs->isInFlight(0));
}

// The checks of a group's commands on a fake clock, PC01 answering as it is at the moment of
// each ping: every incident logged must be true.
struct Timeline {
    const char* name;
    bool initiallyOn;
    bool obeys;
    std::vector<std::pair<int, bool>> commands;  // second of the command, true for power-up
    std::size_t wolIncidents;
    std::size_t shutdownIncidents;
};

class CommandTimelineTest : public FollowUpTest, public ::testing::WithParamInterface<Timeline> {};

TEST_P(CommandTimelineTest, EveryIncidentLoggedIsTrue) {
    const Timeline& timeline = GetParam();
    writeLines("SALLE1", {"PC01"});
    state.DataDir = path("");
    state.WolTargetIp = "10.0.0.255";
    state.GroupList = {"SALLE1", "Autres"};
    state.MacList = {"PC01 00-11-22-33-44-55"};
    PowerCommands commands(state, services());
    commands.setPowerUpFollowUp([&](const std::string& group, const FollowUpScope& scope) {
        followUps->FollowUpLaunch(group, scope);
    });
    commands.setShutdownFollowUp([&](const std::string& group, const FollowUpScope& scope) {
        followUps->FollowDownLaunch(group, scope);
    });
    bool on = timeline.initiallyOn;
    std::uint16_t answered = 0;
    // Whatever checks started by now get PC01's answer of now.
    const auto answerChecks = [&] {
        for (; answered < state.JobCounter; ++answered) {
            finishJob(answered, {std::string("PC01=") + (on ? "1" : "0")});
        }
        timers.advance(20ms);
    };
    int now = 0;
    for (const auto& [second, powerUp] : timeline.commands) {
        timers.advance(std::chrono::seconds(second - now));
        answerChecks();
        now = second;
        powerUp ? commands.PowerUp("SALLE1") : commands.Shutdown("SALLE1");
        on = timeline.obeys ? powerUp : on;
    }
    timers.advance(1000s);
    answerChecks();
    EXPECT_EQ(state.WolIncidents.size(), timeline.wolIncidents);
    EXPECT_EQ(state.ShutdownIncidents.size(), timeline.shutdownIncidents);
    EXPECT_EQ(commands.pendingFollowUps(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Timelines, CommandTimelineTest,
    ::testing::Values(
        // A due time repeats its command on three ticks; the room is checked once.
        Timeline{"PowerOnRepeatedThriceOneCheck",
                 false,
                 false,
                 {{0, true}, {60, true}, {120, true}},
                 1,
                 0},
        Timeline{"ShutdownRepeatedThriceOneCheck",
                 true,
                 false,
                 {{0, false}, {60, false}, {120, false}},
                 0,
                 1},
        // On at 13:09, off at 13:14: the power-up checks would find the room off.
        Timeline{"OnThenOffFiveMinutesLater",
                 false,
                 true,
                 {{0, true}, {60, true}, {120, true}, {310, false}, {370, false}, {430, false}},
                 0,
                 0},
        // A manual "off", then the timetable's "on".
        Timeline{"ManualOffThenScheduledOn",
                 true,
                 true,
                 {{0, false}, {60, true}, {120, true}, {180, true}},
                 0,
                 0},
        Timeline{
            "ObedientRoomNoIncident", false, true, {{0, true}, {60, true}, {120, true}}, 0, 0}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FollowUpTest, ShutdownCheckGivesTheToolsCauseAndDropsOutdatedResults) {
    writeLines("SALLE1", {"PC01", "PC02", "PC03", "PC04"});
    writeLines("shutdown.log", {"01/12/2026;16:30:01;PC01;accès refusé;"});
    const std::size_t start = readBytes("shutdown.log")->size();
    writeLines(
        "shutdown.log",
        {"01/12/2026;16:30:01;PC01;accès refusé;", "06/12/2026;07:30:01;PC01;arrêt demandé;",
         "06/12/2026;07:30:02;PC02;accès refusé;", "06/12/2026;07:30:02;PC03;machine injoignable;",
         "06/12/2026;07:31:02;PC03;échec : NT_STATUS;X;"});
    bool superseded = false;
    followUps->FollowDownLaunch("SALLE1", {[&] { return superseded; }, start});
    for (std::uint16_t n = 0; n < 3; ++n) {
        finishJob(n, {"PC0" + std::to_string(n + 1) + "=1"});
    }
    timers.advance(20ms);
    superseded = true;
    finishJob(3, {"PC04=1"});
    timers.advance(20ms);
    // PC01's refusal is from an earlier window; PC04 answered after a newer command.
    EXPECT_EQ(state.ShutdownIncidents,
              (Lines{"06/12/2026;07:35:20;PC01;ne s'est pas arrêté;raison inconnue;",
                     "06/12/2026;07:35:20;PC02;ne s'est pas arrêté;accès refusé;",
                     "06/12/2026;07:35:20;PC03;ne s'est pas arrêté;échec : NT_STATUS;"}));
    EXPECT_TRUE(consoleHas("PC04 : pas d'incident, le groupe a reçu une commande plus récente"));
}

}  // namespace
}  // namespace vt::power
