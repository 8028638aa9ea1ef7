#include "status/machine_status.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"

namespace vt::status {
namespace {

using Lines = std::vector<std::string>;

TEST(MachineStatusTest, WindowAndRowPlaces) {
    EXPECT_EQ(statusWindowHeight(3), 154);
    EXPECT_EQ(statusWindowHeight(0), 88);
    EXPECT_EQ(rowTop(0), 37);
    EXPECT_EQ(rowTop(2), 81);
    // No table limit: the 65th machine and the 300th have rows of their own.
    EXPECT_EQ(rowTop(64), 64 * 22 + 37);
    EXPECT_EQ(statusWindowHeight(300), 300 * 22 + 88);
}

TEST(MachineStatusTest, BlankLinesNameNoMachine) {
    EXPECT_EQ(machineRows({"PC01", "", "  ", "PC02*", "\t"}), (Lines{"PC01", "PC02*"}));
}

struct AnswerCase {
    const char* name;
    int row;  // -1: no row
};

class PingAnswerRowTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(PingAnswerRowTest, NameFindsTheFirstRowItStandsFor) {
    const Lines rows = {"PC07*",     "PC08", "pc07.college.local", "127.0.0.1", "127.0.0.10",
                        "LOCALHOST", "PC08"};
    const auto row = rowOfPingAnswer(rows, GetParam().name);
    if (GetParam().row < 0) {
        EXPECT_EQ(row, std::nullopt) << GetParam().name;
    } else {
        EXPECT_EQ(row, std::optional<std::size_t>(GetParam().row)) << GetParam().name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PingAnswerRowTest,
    ::testing::Values(AnswerCase{"PC07", 0},                // the marked line, by its plain name
                      AnswerCase{"pc07.domaine.local", 0},  // first label, case ignored
                      AnswerCase{"pc07.college.local", 2},  // a row written in full
                      AnswerCase{"PC08", 1},                // the first of two rows
                      AnswerCase{"127.0.0.1", 3},           // an address, matched whole
                      AnswerCase{"127.0.0.10", 4}, AnswerCase{"localhost", 5},
                      AnswerCase{"PC09", -1}, AnswerCase{"PC0", -1}, AnswerCase{"", -1},
                      AnswerCase{".local", -1}, AnswerCase{"127.0.0.2", -1}));

class PingAnswerTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        jobs = std::make_unique<discovery::BackgroundJobs>(state, services());
    }
    void TearDown() override {
        jobs.reset();
        TempDirTest::TearDown();
    }

    // Starts one ping job whose handler reads the answer, then ends it with the given result
    // file (nothing: no file at all).
    std::optional<PingAnswer> finishWith(const std::optional<std::string>& result) {
        const std::uint16_t n = state.JobCounter;
        std::optional<PingAnswer> answer;
        int polls = 0;
        EXPECT_TRUE(jobs->ExecLaunchPING("PC07*", [&](discovery::JobPoll& job) {
            ++polls;
            if (auto read = readPingAnswer(job, console)) {
                answer = read;
            }
        }));
        timers.advance(std::chrono::milliseconds(20));
        EXPECT_EQ(polls, 1);
        EXPECT_EQ(answer, std::nullopt);  // the marker is still read-only: the job runs
        if (result) {
            writeBytes("drive_c/ping" + std::to_string(n) + ".txt", *result);
        }
        files().setReadOnly(discovery::BackgroundJobs::markerPath(n), false);
        timers.advance(std::chrono::milliseconds(20));
        EXPECT_FALSE(jobs->isInFlight(n));
        EXPECT_FALSE(fileExists("drive_c/ping" + std::to_string(n) + ".txt"));
        return answer;
    }

    std::unique_ptr<discovery::BackgroundJobs> jobs;
};

TEST_F(PingAnswerTest, AnswerOfTheToolIsSaidOnTheConsole) {
    EXPECT_EQ(finishWith("pc07.college.local=1\r\n"), (PingAnswer{"pc07.college.local", true}));
    EXPECT_EQ(finishWith("PC07=0\r\n"), (PingAnswer{"PC07", false}));
    EXPECT_EQ(finishWith("PC07=oui\r\nPC08=1\r\n"), (PingAnswer{"PC07", false}));
    EXPECT_EQ(finishWith("PC07\r\n"), (PingAnswer{"PC07", false}));
    EXPECT_EQ(console.lines,
              (Lines{"Lancement de ping PC07...", "pc07.college.local répond au ping",
                     "Lancement de ping PC07...", "PC07 ne répond pas au ping",
                     "Lancement de ping PC07...", "PC07 ne répond pas au ping",
                     "Lancement de ping PC07...", "PC07 ne répond pas au ping"}));
}

TEST_F(PingAnswerTest, JobWithoutResultOrWithAnEmptyOneIsReportedByItsNumber) {
    state.JobCounter = 41;
    EXPECT_EQ(finishWith(std::nullopt), std::nullopt);
    EXPECT_EQ(finishWith(""), std::nullopt);
    EXPECT_EQ(console.lines,
              (Lines{"Lancement de ping PC07...", "======>vt_echo.exe a échoué sur 41 <======",
                     "Lancement de ping PC07...", "Ne peut pas pinger 42"}));
    EXPECT_EQ(timers.activeCount(), 0u);
}

}  // namespace
}  // namespace vt::status
