#include "discovery/background_jobs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "core/names.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using namespace std::chrono_literals;
using test::TempDirTest;
using Lines = std::vector<std::string>;

class BackgroundJobsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = "d:\\vt\\";
        jobs = std::make_unique<BackgroundJobs>(state, services());
    }
    void TearDown() override {
        jobs.reset();
        TempDirTest::TearDown();
    }

    // A handler that takes the common poll steps and records what it saw.
    PollHandler recorder() {
        return [this](JobPoll& poll) {
            ++ticks;
            if (poll.stillRunning())
                return;
            if (auto lines = poll.takeOutput()) {
                outputs.push_back(*lines);
            } else {
                ++failures;
                poll.finish();
            }
        };
    }
    void release(std::uint16_t n) { files().setReadOnly(BackgroundJobs::markerPath(n), false); }

    std::unique_ptr<BackgroundJobs> jobs;
    int ticks = 0;
    int failures = 0;
    std::vector<Lines> outputs;
};

TEST_F(BackgroundJobsTest, FirstNetViewJobIsNumberZeroWithItsExactFiles) {
    ASSERT_TRUE(jobs->ExecLaunchNetView(recorder()));
    EXPECT_EQ(readBytes("drive_c/netview0.bat"),
              "net view > c:\\netview0.txt\r\nattrib -R c:\\0.mark\r\n");
    EXPECT_EQ(readBytes("drive_c/0.mark"), "");
    EXPECT_EQ(files().isReadOnly("c:\\0.mark"), true);
    EXPECT_EQ(processes.started, Lines{"c:\\netview0.bat"});
    EXPECT_EQ(console.lines, Lines{"Lancement de NET VIEW..."});
    EXPECT_EQ(state.JobCounter, 1);
    ASSERT_EQ(timers.activeCount(), 1u);
    EXPECT_EQ(timers.intervalOf(timers.activeTimers().front()), 1000ms);
}

struct LauncherCase {
    const char* name;
    std::function<bool(BackgroundJobs&, PollHandler)> launch;
    std::string batch;
    std::string bytes;
    std::string message;
    std::chrono::milliseconds interval;
};

class LauncherTest : public BackgroundJobsTest,
                     public ::testing::WithParamInterface<LauncherCase> {};

TEST_P(LauncherTest, WritesItsBatchStartsItAndPollsAtItsInterval) {
    const LauncherCase& c = GetParam();
    state.JobCounter = 42;
    ASSERT_TRUE(c.launch(*jobs, recorder()));
    EXPECT_EQ(readBytes("drive_c/" + c.batch), c.bytes);
    EXPECT_EQ(processes.started, Lines{"c:\\" + c.batch});
    EXPECT_EQ(console.lines, Lines{c.message});
    EXPECT_EQ(files().isReadOnly("c:\\42.mark"), true);
    ASSERT_EQ(timers.activeCount(), 1u);
    EXPECT_EQ(timers.intervalOf(timers.activeTimers().front()), c.interval);
    EXPECT_EQ(state.JobCounter, 43);
}

INSTANTIATE_TEST_SUITE_P(
    Launchers, LauncherTest,
    ::testing::Values(
        LauncherCase{"Nbtstat",
                     [](BackgroundJobs& j, PollHandler h) {
                         return j.ExecLaunchNBTSTAT("PC7", std::move(h));
                     },
                     "nbtstat42.bat",
                     "nbtstat -a PC7 >c:\\nbtstat42.txt\r\nattrib -R c:\\42.mark\r\n",
                     "Lancement de NBTSTAT...", 300ms},
        LauncherCase{"PingMarkedMachine",
                     [](BackgroundJobs& j, PollHandler h) {
                         return j.ExecLaunchPING("PC12*", std::move(h));
                     },
                     "ping42.bat",
                     "\"d:\\vt\\vt_echo.exe\" PC12 c:\\ping42.txt\r\nattrib -R c:\\42.mark\r\n",
                     "Lancement de ping PC12...", 20ms},
        LauncherCase{
            "PingGroupInLowerCase",
            [](BackgroundJobs& j, PollHandler h) { return j.ExecPING_GM("autres", std::move(h)); },
            "ping42.bat",
            "\"d:\\vt\\vt_echo.exe\" autres c:\\ping42.txt\r\nattrib -R c:\\42.mark\r\n",
            "Lancement de ping autres...", 200ms}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(BackgroundJobsTest, CounterWrapsAfter65535) {
    state.JobCounter = 65535;
    ASSERT_TRUE(jobs->ExecLaunchPING("PC1", recorder()));
    ASSERT_TRUE(jobs->ExecLaunchPING("PC2", recorder()));
    EXPECT_TRUE(fileExists("drive_c/ping65535.bat"));
    EXPECT_EQ(readLines("drive_c/ping0.bat").front(), "\"d:\\vt\\vt_echo.exe\" PC2 c:\\ping0.txt");
    EXPECT_EQ(state.JobCounter, 1);
}

TEST_F(BackgroundJobsTest, GroupAutresStartsNothingAtAll) {
    EXPECT_FALSE(jobs->ExecPING_GM("Autres", recorder()));
    EXPECT_EQ(state.JobCounter, 0);
    EXPECT_TRUE(console.lines.empty());
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_FALSE(fileExists("drive_c/0.mark"));
}

TEST_F(BackgroundJobsTest, GroupPingDeletesAnEarlierResultOfItsNumber) {
    writeLines("drive_c/ping0.txt", {"SALLE1=1"});
    ASSERT_TRUE(jobs->ExecPING_GM("SALLE1", recorder()));
    release(0);
    timers.advance(200ms);
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(outputs.empty());
    EXPECT_EQ(timers.activeCount(), 0u);
}

TEST_F(BackgroundJobsTest, PollWaitsForTheMarkerThenTakesTheOutput) {
    ASSERT_TRUE(jobs->ExecLaunchPING("PC3", recorder()));
    writeLines("drive_c/ping0.txt", {"PC3=1"});
    timers.advance(60ms);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(outputs.empty());
    EXPECT_TRUE(jobs->isInFlight(0));

    release(0);
    timers.advance(20ms);
    EXPECT_EQ(outputs, (std::vector<Lines>{{"PC3=1"}}));
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_FALSE(jobs->isInFlight(0));
    EXPECT_FALSE(fileExists("drive_c/ping0.txt"));
    EXPECT_FALSE(fileExists("drive_c/ping0.bat"));
    EXPECT_TRUE(fileExists("drive_c/0.mark"));  // kept for the next job of that number
    timers.advance(100ms);
    EXPECT_EQ(ticks, 4);
}

TEST_F(BackgroundJobsTest, MissingMarkerCountsAsStillRunning) {
    ASSERT_TRUE(jobs->ExecLaunchPING("PC3", recorder()));
    writeLines("drive_c/ping0.txt", {"PC3=1"});
    release(0);
    std::filesystem::remove(path("drive_c/0.mark"));
    timers.advance(100ms);
    EXPECT_EQ(ticks, 5);
    EXPECT_TRUE(outputs.empty());
    EXPECT_EQ(failures, 0);
}

TEST_F(BackgroundJobsTest, MissingOutputRunsTheFailurePath) {
    ASSERT_TRUE(jobs->ExecLaunchNBTSTAT("PC4", recorder()));
    release(0);
    timers.advance(300ms);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_TRUE(fileExists("drive_c/nbtstat0.bat"));
}

TEST_F(BackgroundJobsTest, NumberStillInFlightIsRefused) {
    ASSERT_TRUE(jobs->ExecLaunchPING("PC1", recorder()));
    state.JobCounter = 0;  // as after 65536 launches
    console.lines.clear();
    EXPECT_FALSE(jobs->ExecLaunchNetView(recorder()));
    EXPECT_EQ(console.lines, Lines{"tâche 0 encore en cours, lancement refusé"});
    EXPECT_EQ(state.JobCounter, 0);
    EXPECT_EQ(processes.started.size(), 1u);
    EXPECT_FALSE(fileExists("drive_c/netview0.bat"));

    // Once the running job is done its number is free again.
    writeLines("drive_c/ping0.txt", {"PC1=0"});
    release(0);
    timers.advance(20ms);
    EXPECT_TRUE(jobs->ExecLaunchNetView(recorder()));
}

TEST_F(BackgroundJobsTest, LeftoverReadOnlyMarkerIsReusedAndWaitsForItsBatch) {
    writeBytes("drive_c/7.mark", "");
    files().setReadOnly("c:\\7.mark", true);
    state.JobCounter = 7;
    ASSERT_TRUE(jobs->ExecLaunchPING("PC7", recorder()));
    writeLines("drive_c/ping7.txt", {"PC7=1"});
    timers.advance(40ms);
    EXPECT_TRUE(outputs.empty());
    release(7);
    timers.advance(20ms);
    EXPECT_EQ(outputs, (std::vector<Lines>{{"PC7=1"}}));
}

// A name must not change the batch line, nor name a file that vt_echo would read as its
// list of hosts (its lines would go out as lookups and into the follow-up's result).
TEST_F(BackgroundJobsTest, TargetsThatAreNoUsableNamesAreRefused) {
    const std::string syntax = " (caractère réservé aux lignes de commande)";
    const std::string path = " (nom de fichier ou chemin)";
    const std::vector<std::pair<std::string, std::string>> machines = {
        {"PC1 & del c:\\*", path},
        {"\"PC1", syntax},
        {"PC1|x", syntax},
        {"PC1>x", syntax},
        {"a<b", syntax},
        {"a^b", syntax},
        {"%PATH%", syntax},
        {"-t", syntax},
        {"PC 1", syntax},
        {"", " (nom vide)"},
        {"PC\tx", path},
        {"PC\nx", path},
        {"../../../secret.txt", path},
        {"C:\\Windows", path},
        {"a/b", path},
        {"x..y", path},
        {std::string(256, 'M'), " (plus de 255 caractères)"}};
    for (const auto& [target, reason] : machines) {
        console.lines.clear();
        EXPECT_FALSE(jobs->ExecLaunchPING(target, recorder())) << target;
        EXPECT_FALSE(jobs->ExecLaunchNBTSTAT(target, recorder())) << target;
        EXPECT_EQ(console.lines.size(), 2u) << target;
        EXPECT_EQ(console.lines.front(), "commande refusée : " + shownName(target) + reason);
    }
    for (const std::string group : {"PC1 & x", "a/b", "liste.mac", "-t"}) {
        EXPECT_FALSE(jobs->ExecPING_GM(group, recorder())) << group;
    }
    // A lone mark leaves no machine name to ping.
    console.lines.clear();
    EXPECT_FALSE(jobs->ExecLaunchPING("*", recorder()));
    EXPECT_EQ(console.lines, Lines{"commande refusée : * (nom vide)"});
    EXPECT_EQ(state.JobCounter, 0);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(timers.activeCount(), 0u);
    // Ordinary names stay accepted, accented ones included.
    EXPECT_TRUE(jobs->ExecLaunchPING("PC-RÉSEAU", recorder()));
    EXPECT_TRUE(jobs->ExecLaunchNBTSTAT(std::string(255, 'M'), recorder()));
}

TEST_F(BackgroundJobsTest, HandlerMayLaunchTheNextJobFromItsPoll) {
    bool relaunched = false;
    ASSERT_TRUE(jobs->ExecLaunchPING("PC1", [&](JobPoll& poll) {
        if (poll.stillRunning())
            return;
        poll.takeOutput();
        relaunched = jobs->ExecLaunchPING("PC2", recorder());
    }));
    writeLines("drive_c/ping0.txt", {"PC1=1"});
    release(0);
    timers.advance(20ms);
    EXPECT_TRUE(relaunched);
    EXPECT_TRUE(jobs->isInFlight(1));
    EXPECT_EQ(timers.activeCount(), 1u);
}

TEST_F(BackgroundJobsTest, DestroyingTheJobsStopsTheirTimers) {
    ASSERT_TRUE(jobs->ExecLaunchPING("PC1", recorder()));
    ASSERT_TRUE(jobs->ExecLaunchNetView(recorder()));
    jobs.reset();
    EXPECT_EQ(timers.activeCount(), 0u);
}

}  // namespace
}  // namespace vt::discovery

namespace vt::discovery {
namespace {

class RealBackgroundJobsTest : public test::TempDirTest {};

TEST_F(RealBackgroundJobsTest, PingBatchRunsThroughTheToolsAndReleasesItsMarker) {
    const std::string bin = test::binDir() + "/";
    if (!std::filesystem::exists(bin + "vt_cmd") || !std::filesystem::exists(bin + "vt_echo")) {
        GTEST_SKIP() << "vt_cmd or vt_echo not built";
    }
    state.DataDir = bin;
    BackgroundJobs jobs(state, realServices());
    std::optional<std::vector<std::string>> result;
    ASSERT_TRUE(jobs.ExecLaunchPING("localhost", [&](JobPoll& poll) {
        if (poll.stillRunning())
            return;
        result = poll.takeOutput();
        poll.finish();
    }));
    for (int i = 0; i < 500 && timers.activeCount() != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        timers.advance(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, std::vector<std::string>{"localhost=1"});
    EXPECT_EQ(files().isReadOnly("c:\\0.mark"), false);
    EXPECT_FALSE(fileExists("drive_c/ping0.bat"));
}

}  // namespace
}  // namespace vt::discovery
