#include "discovery/ping_refresh.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using namespace std::chrono_literals;
using test::TempDirTest;
using Lines = std::vector<std::string>;

class PingRefreshTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = "d:\\vt\\";
        state.GroupList = {"SALLE1", "SALLE12", "Autres"};
        jobs = std::make_unique<BackgroundJobs>(state, services());
        refresh = std::make_unique<PingRefresh>(state, services(), *jobs);
        refresh->setGroupLed([this](std::size_t row, bool answered) {
            leds.push_back(std::to_string(row) + (answered ? " vert" : " rouge"));
        });
    }
    void TearDown() override {
        refresh.reset();
        jobs.reset();
        TempDirTest::TearDown();
    }
    void answer(std::uint16_t n, const std::optional<Lines>& results) {
        if (results) {
            writeLines("drive_c/ping" + std::to_string(n) + ".txt", *results);
        }
        files().setReadOnly(BackgroundJobs::markerPath(n), false);
    }

    std::unique_ptr<BackgroundJobs> jobs;
    std::unique_ptr<PingRefresh> refresh;
    Lines leds;
};

TEST_F(PingRefreshTest, OneJobPerGroupButAutres) {
    refresh->Ping_MAJ();
    EXPECT_EQ(state.JobCounter, 2);
    EXPECT_EQ(readLines("drive_c/ping0.bat").front(),
              "\"d:\\vt\\vt_echo.exe\" SALLE1 c:\\ping0.txt");
    EXPECT_EQ(readLines("drive_c/ping1.bat").front(),
              "\"d:\\vt\\vt_echo.exe\" SALLE12 c:\\ping1.txt");
    EXPECT_EQ(console.lines,
              (Lines{"Lancement de ping SALLE1...", "Lancement de ping SALLE12..."}));

    state.GroupList = {"Autres"};
    refresh->Ping_MAJ();
    state.GroupList.clear();
    refresh->Ping_MAJ();
    EXPECT_EQ(state.JobCounter, 2);
}

struct ResultCase {
    const char* name;
    Lines results;
    bool answered;
};

class ResultCaseTest : public PingRefreshTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultCaseTest, Led) {
    refresh->Ping_MAJ();
    answer(1, GetParam().results);
    timers.advance(200ms);
    EXPECT_EQ(leds, Lines{std::string("1 ") + (GetParam().answered ? "vert" : "rouge")});
}

INSTANTIATE_TEST_SUITE_P(
    Results, ResultCaseTest,
    ::testing::Values(ResultCase{"OneAnswered", {"PC1=0", "PC2=1"}, true},
                      ResultCase{"NoneAnswered", {"PC1=0", "PC2=0"}, false},
                      ResultCase{"AllAnswered", {"PC1=1", "PC2=1"}, true},
                      ResultCase{"BlanksAroundTheValue", {"PC1= 1 "}, true},
                      ResultCase{"OtherValuesDoNotCount", {"PC1=10", "PC2", "=1x"}, false},
                      ResultCase{"MarkedMachineAnswered", {"PC3*=1"}, true}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(PingRefreshTest, ResultLightsTheLedOfTheGroupItWasFor) {
    // SALLE12-PC03 is filed under SALLE1 too: SALLE12's result is still SALLE12's.
    writeLines("SALLE1", {"SALLE1-01", "SALLE12-PC03"});
    writeLines("SALLE12", {"SALLE12-PC03"});
    refresh->Ping_MAJ();
    answer(1, Lines{"SALLE12-PC03=1"});
    answer(0, Lines{"SALLE1-01=0", "SALLE12-PC03=0"});
    timers.advance(200ms);
    EXPECT_EQ(leds, (Lines{"0 rouge", "1 vert"}));
}

TEST_F(PingRefreshTest, ConsoleShowsTheResultsTwiceWhenOneAnsweredAndSaysWhatFailed) {
    refresh->Ping_MAJ();
    refresh->Ping_MAJ();
    console.lines.clear();
    // Each machine's answer goes to the consumption history of the data folder.
    state.DataDir = path("");
    clock.setDate(2026, 12, 8);
    clock.set(9, 0);
    answer(0, Lines{"PC1=0", "", "PC2=1"});
    answer(1, Lines{"PC3=0"});
    answer(2, std::nullopt);
    answer(3, Lines{});
    timers.advance(200ms);
    EXPECT_EQ(console.lines,
              (Lines{"For SALLE1 PC1=0", "For SALLE1 PC2=1", "For SALLE1 PC1=0", "For SALLE1 PC2=1",
                     "For SALLE12 PC3=0",
                     "======>vt_echo.exe a échoué sur 2 <======", "Ne peut pas pinger 3"}));
    EXPECT_EQ(leds, (Lines{"0 vert", "1 rouge"}));
    EXPECT_EQ(jobs->inFlightCount(), 0u);
    EXPECT_EQ(readLines("consommation.csv"),
              (Lines{"08/12/2026;09:00:00;SALLE1;PC1;éteint;ping;",
                     "08/12/2026;09:00:00;SALLE1;PC2;allumé;ping;",
                     "08/12/2026;09:00:00;SALLE12;PC3;éteint;ping;"}));
}

TEST_F(PingRefreshTest, GroupGoneFromTheListLightsNothing) {
    refresh->Ping_MAJ();
    state.GroupList = {"SALLE12", "Autres"};
    answer(0, Lines{"PC1=1"});
    answer(1, Lines{"PC1=1"});
    timers.advance(200ms);
    EXPECT_EQ(leds, Lines{"0 vert"});
}

TEST_F(PingRefreshTest, GroupWhoseJobCannotStartKeepsNoOtherFromItsOwn) {
    writeLines("drive_c/ping0.bat", {});
    ASSERT_TRUE(files().setReadOnly("c:\\ping0.bat", true));
    EXPECT_THROW(refresh->Ping_MAJ(), FileError);
    EXPECT_TRUE(fileExists("drive_c/ping1.bat"));
    files().setReadOnly("c:\\ping0.bat", false);
}

}  // namespace
}  // namespace vt::discovery
