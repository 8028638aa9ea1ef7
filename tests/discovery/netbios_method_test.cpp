#include "discovery/netbios_method.h"

#include <gtest/gtest.h>

#include "tests/support/fixture_files.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using namespace std::chrono_literals;
using test::TempDirTest;
using Lines = std::vector<std::string>;

class NetBiosMethodTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "CDI", "Autres"};
        jobs = std::make_unique<BackgroundJobs>(state, services());
        method = std::make_unique<NetBiosMethod>(
            state, services(), *jobs,
            [this](const std::string& message) { reported.push_back(message); });
    }
    void TearDown() override {
        method.reset();
        jobs.reset();
        TempDirTest::TearDown();
    }
    // The job's command has written its output and unlocked its marker.
    void finishJob(std::uint16_t n, const std::string& kind, const std::string& bytes) {
        writeBytes("drive_c/" + kind + std::to_string(n) + ".txt", bytes);
        files().setReadOnly(BackgroundJobs::markerPath(n), false);
    }
    std::vector<std::string> startedNbtstat() const {
        std::vector<std::string> hosts;
        for (const std::string& line : processes.started) {
            if (line.find("nbtstat") != std::string::npos) {
                hosts.push_back(line);
            }
        }
        return hosts;
    }
    Lines batchOf(std::uint16_t n) {
        return readLines("drive_c/nbtstat" + std::to_string(n) + ".bat");
    }

    std::unique_ptr<BackgroundJobs> jobs;
    std::unique_ptr<NetBiosMethod> method;
    Lines reported;
};

TEST_F(NetBiosMethodTest, NetViewFilesTheMachinesCleansAutresAndAsksForMissingAddresses) {
    writeLines("SALLE1", {"SALLE1-01*"});
    writeLines("CDI", {});
    writeLines("Autres", {"SALLE1-02", "OLD"});
    state.MacList = {"SALLE1-01 00-00-00-00-00-01", "CDI-01 00-00-00-00-00-02"};
    method->ExecLaunchNetView();
    ASSERT_EQ(state.JobCounter, 1);
    console.lines.clear();

    timers.advance(1000ms);  // still running: nothing read
    EXPECT_TRUE(console.lines.empty());
    finishJob(0, "netview", test::fixtureBytes("windows-fr/net-view.txt"));
    timers.advance(1000ms);

    EXPECT_EQ(readLines("SALLE1"), (Lines{"SALLE1-01*", "SALLE1-02", "SALLE12-PC03"}));
    EXPECT_EQ(readLines("CDI"), Lines{"CDI-01"});
    EXPECT_EQ(readLines("Autres"), (Lines{"OLD", "PROF-SALLE1", "SRV-SCRIBE"}));
    EXPECT_FALSE(fileExists("drive_c/netview0.txt"));
    EXPECT_FALSE(fileExists("drive_c/netview0.bat"));
    // The marked machine has its address under its plain name; the others are asked for.
    const Lines expectedJobs{
        "nbtstat -a SALLE1-02 >c:\\nbtstat1.txt", "nbtstat -a SALLE12-PC03 >c:\\nbtstat2.txt",
        "nbtstat -a OLD >c:\\nbtstat3.txt", "nbtstat -a PROF-SALLE1 >c:\\nbtstat4.txt",
        "nbtstat -a SRV-SCRIBE >c:\\nbtstat5.txt"};
    for (std::uint16_t n = 1; n <= 5; ++n) {
        EXPECT_EQ(batchOf(n).front(), expectedJobs[n - 1u]);
    }
    EXPECT_EQ(state.JobCounter, 6);
    // Nothing learned yet: the list the cache tool shares is not written.
    EXPECT_FALSE(fileExists("liste.mac"));

    EXPECT_EQ(console.lines.front(), "Lecture des résultats NETVIEW... ==> process 0");
    EXPECT_EQ(console.lines.back(), "Analyse de NET VIEW terminée");
    const Lines macSteps{"Recherche des adresses MAC...", "Adresses MAC de SALLE1...",
                         "Adresses MAC de CDI...", "Adresses MAC de Autres..."};
    for (const std::string& step : macSteps) {
        EXPECT_NE(std::find(console.lines.begin(), console.lines.end(), step), console.lines.end())
            << step;
    }
    EXPECT_EQ(status.texts.front(), "Lecture des résultats... ==> process 0");
    EXPECT_EQ(status.texts.back(), "Analyse de NET VIEW terminée");
}

TEST_F(NetBiosMethodTest, EmptyOutputOnlyEndsAndMissingOutputIsDroppedSilently) {
    method->ExecLaunchNetView();
    method->ExecLaunchNetView();
    console.lines.clear();
    finishJob(0, "netview", "");
    files().setReadOnly(BackgroundJobs::markerPath(1), false);
    timers.advance(1000ms);
    EXPECT_EQ(console.lines, (Lines{"Lecture des résultats NETVIEW... ==> process 0",
                                    "Analyse de NET VIEW terminée",
                                    "Lecture des résultats NETVIEW... ==> process 1"}));
    EXPECT_EQ(jobs->inFlightCount(), 0u);
    EXPECT_FALSE(fileExists("Autres"));
}

TEST_F(NetBiosMethodTest, NbtstatAnswerIsRecordedOnceAndNamesItsJob) {
    writeLines("SALLE1", {"SALLE1-02", "pc07"});
    method->GetMACADDR("SALLE1");
    method->GetMACADDR("SALLE1");  // twice before any answer: two jobs per machine
    ASSERT_EQ(state.JobCounter, 4);
    EXPECT_FALSE(fileExists("liste.mac"));
    console.lines.clear();

    for (std::uint16_t n : {0, 2}) {
        finishJob(n, "nbtstat", test::fixtureBytes("windows-fr/nbtstat-a.txt"));
    }
    finishJob(1, "nbtstat", test::fixtureBytes("windows-fr/nbtstat-a-group-first.txt"));
    finishJob(3, "nbtstat", test::fixtureBytes("windows-fr/nbtstat-a-not-found.txt"));
    timers.advance(300ms);

    EXPECT_EQ(state.MacList, (Lines{"SALLE1-02 00-1A-2B-3C-4D-5E", "PC07 00-1A-2B-3C-4D-07"}));
    EXPECT_EQ(readLines("liste.mac"), state.MacList);
    EXPECT_EQ(
        console.lines,
        (Lines{"Analyse de NBTSTAT id 0commence...",
               "Analyse de NBTSTAT id 0 terminée pour SALLE1-02 : 10.0.0.2 [00-1A-2B-3C-4D-5E]",
               "Analyse de NBTSTAT id 1commence...",
               "Analyse de NBTSTAT id 1 terminée pour PC07 : 10.0.0.2 [00-1A-2B-3C-4D-07]",
               "Analyse de NBTSTAT id 2commence...",
               "Analyse de NBTSTAT id 2 terminée pour SALLE1-02 : 10.0.0.2 [00-1A-2B-3C-4D-5E]",
               "Analyse de NBTSTAT id 3commence...",
               "Analyse de NBTSTAT id 3 : pas d'adresse MAC trouvée pour pc07"}));
    EXPECT_EQ(status.texts.back(),
              "Analyse de NBTSTAT terminée pour SALLE1-02 [00-1A-2B-3C-4D-5E]");
    EXPECT_EQ(jobs->inFlightCount(), 0u);
    EXPECT_FALSE(fileExists("drive_c/nbtstat0.txt"));
}

// A machine that calls itself by a name with a blank would leave "PCREL01 X 2E-..." in the
// list, whose first word then stands for the machine PCREL01.
TEST_F(NetBiosMethodTest, NbtstatAnswerWithAHostileNameIsRefused) {
    state.MacList = {"PCREL01 02-99-00-00-00-01"};
    writeLines("SALLE1", {"SALLE1-02"});
    method->GetMACADDR("SALLE1");
    console.lines.clear();
    std::string answer = test::fixtureBytes("windows-fr/nbtstat-a.txt");
    answer.replace(answer.find("SALLE1-02 "), 10, "PCREL01 X ");
    finishJob(0, "nbtstat", answer);
    timers.advance(300ms);
    EXPECT_EQ(state.MacList, Lines{"PCREL01 02-99-00-00-00-01"});
    EXPECT_EQ(console.lines.back(),
              "Analyse de NBTSTAT id 0 : nom de machine refusé (caractère réservé aux lignes de "
              "commande) : PCREL01 X");
}

TEST_F(NetBiosMethodTest, MarkedMachineIsAskedUnderItsPlainNameUnlessTheListKnowsIt) {
    writeLines("SALLE1", {"PC03*", "PC04*", "*", " ", "PC05"});
    // A list line written with the mark still counts for the machine.
    state.MacList = {"PC04* 00-00-00-00-00-04", "PC05 00-00-00-00-00-05"};
    method->GetMACADDR("SALLE1");
    EXPECT_EQ(state.JobCounter, 1);
    EXPECT_EQ(batchOf(0).front(), "nbtstat -a PC03 >c:\\nbtstat0.txt");
}

TEST_F(NetBiosMethodTest, MissingGroupFileStartsNothingAndWritesNothing) {
    method->GetMACADDR("SALLE1");
    EXPECT_EQ(state.JobCounter, 0);
    EXPECT_FALSE(fileExists("liste.mac"));
}

TEST_F(NetBiosMethodTest, ListThatCannotBeWrittenIsReportedAndTheJobEnds) {
    writeLines("SALLE1", {"SALLE1-02"});
    writeLines("liste.mac", {});
    method->GetMACADDR("SALLE1");
    ASSERT_TRUE(files().setReadOnly("liste.mac", true));
    finishJob(0, "nbtstat", test::fixtureBytes("windows-fr/nbtstat-a.txt"));
    timers.advance(300ms);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported.front().find("liste.mac"), std::string::npos);
    EXPECT_EQ(jobs->inFlightCount(), 0u);
    files().setReadOnly("liste.mac", false);
}

TEST_F(NetBiosMethodTest, JobsThatOutliveTheMethodOnlyEnd) {
    method->ExecLaunchNetView();
    method.reset();
    finishJob(0, "netview", test::fixtureBytes("windows-fr/net-view.txt"));
    timers.advance(1000ms);
    EXPECT_EQ(jobs->inFlightCount(), 0u);
    EXPECT_FALSE(fileExists("Autres"));
}

}  // namespace
}  // namespace vt::discovery
