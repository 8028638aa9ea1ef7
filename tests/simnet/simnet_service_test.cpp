// vt_service on the simulated school network: a data folder's timetable kept with no window at
// all, on a clock twenty times faster (a minute every three seconds: the shutdowns through
// Samba take real seconds, which the checks must leave them); then the program started beside
// it, and the holder killed. Runs inside the admin namespace: "scripts/simnet exec" starts it
// there.

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "core/incident_logs.h"
#include "power/scheduler_lock.h"
#include "tests/simnet/simnet_test.h"
#include "tests/support/background_program.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const SimnetTest::Lines kSalle1 = SimnetTest::room("SALLE1");
constexpr int kSpeed = 20;

class SimnetServiceTest : public SimnetTest {
protected:
    void SetUp() override {
        SimnetTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        Lines macs;
        Lines ips;
        for (const std::string& machine : kSalle1) {
            macs.push_back(machine + " " + mac(machine));
            ips.push_back(machine + " " + address(machine));
        }
        writeLines("liste.mac", macs);
        writeLines("liste.ip", ips);
        writeLines("localGM", {"SALLE1"});
        writeLines("SALLE1", kSalle1);
        writeLines("vtl.ini", {"ip=10.77.0.255", "masque=255.255.255.0", "shutdown_wait=2",
                               "shutdown_comment=Fin des cours", "esu=false"});
        // Every process started from here reads the same time from the same instant on.
        const double anchor =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        m_clock.emplace("VANTOREL_TEST_CLOCK", ("2026-12-07T07:59:00," + std::to_string(kSpeed) +
                                                "," + std::to_string(anchor))
                                                   .c_str());
        m_driveC.emplace("VANTOREL_DRIVE_C", driveC().c_str());
    }
    void TearDown() override {
        m_programs.clear();
        if (onSimnet()) {
            for (const std::string& machine : kSalle1) {
                simnet({"on", machine});
            }
        }
        SimnetTest::TearDown();
    }

    void timetable(const std::string& powerOn, const std::string& shutdown) {
        writeLines("settings.ini", {"SALLE1", powerOn + "+Tous-", shutdown + "+Tous", "", "NA"});
    }
    BackgroundProgram& start(const Lines& command, const std::string& log) {
        return *m_programs.emplace_back(std::make_unique<BackgroundProgram>(command, path(log)));
    }
    BackgroundProgram& startService(const std::string& log = "service.log") {
        return start({binDir() + "/vt_service", "--data", path("")}, log);
    }
    // The window program on the same folder, offscreen: a copy, since it takes the folder of
    // its own file for its data folder, with the images and tools beside it.
    BackgroundProgram& startProgram() {
        fs::copy_file(binDir() + "/Vantorel", path("Vantorel"));
        for (const char* file : {"led-gris.bmp", "led-orange.bmp", "led-rouge.bmp", "led-vert.bmp",
                                 "vt_cmd", "vt_shutdown"}) {
            fs::create_symlink(binDir() + "/" + file, path(file));
        }
        const ScopedEnvironment offscreen("QT_QPA_PLATFORM", "offscreen");
        return start({path("Vantorel"), "local"}, "program.log");
    }
    // Waits until a line of the file holds the text. The processes' logs are UTF-8, the data
    // files Windows-1252.
    bool awaitLine(const std::string& file, const std::string& text, std::chrono::seconds limit) {
        const bool utf8 = file == "service.log" || file == "program.log";
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            if (fileExists(file)) {
                for (const std::string& line : utf8 ? utf8Lines(file) : readLines(file)) {
                    if (line.find(text) != std::string::npos) {
                        return true;
                    }
                }
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    bool awaitLineCount(const std::string& file, std::size_t count, std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline && (!fileExists(file) || readLines(file).size() < count)) {
            std::this_thread::sleep_for(100ms);
        }
        return fileExists(file) && readLines(file).size() == count;
    }
    Lines utf8Lines(const std::string& file) const {
        std::ifstream in(path(file));
        Lines lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

private:
    std::optional<ScopedEnvironment> m_clock;
    std::optional<ScopedEnvironment> m_driveC;
    std::vector<std::unique_ptr<BackgroundProgram>> m_programs;
};

// Power-on at 8:00, shutdown at 8:10: the three repeats of each, one check after the last, the
// machine that ignores Wake-on-LAN and the one that refuses the account each logged once, in
// their files while the service still runs.
TEST_F(SimnetServiceTest, ServiceAloneRunsTheDayOfARoom) {
    for (const std::string& machine : kSalle1) {
        ASSERT_EQ(simnet({"off", machine}).exitCode, 0);
    }
    timetable("8:00", "8:10");
    const std::string preferences = *readBytes("vtl.ini");
    BackgroundProgram& service = startService();

    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-03", "SALLE1-04"}, "allumée", 20s));
    EXPECT_TRUE(awaitLine("wol.followup", "SALLE1-02;ne s'est pas mis en marche", 30s));
    EXPECT_TRUE(service.running());
    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-04"}, "éteinte", 30s));
    EXPECT_TRUE(awaitLine("shutdown.followup", "SALLE1-03;ne s'est pas arrêté;accès refusé", 40s));
    EXPECT_TRUE(service.running());
    // 4 machines, 3 repeats; a machine that is off costs its line Samba's time-outs.
    EXPECT_TRUE(awaitLineCount("shutdown.log", 12, 60s));

    const auto asked = Clock::now();
    service.stop();
    EXPECT_LT(Clock::now() - asked, 2s);
    show("service.log", utf8Lines("service.log"));
    EXPECT_EQ(readLines("wol.followup").size(), 2u);
    EXPECT_EQ(readLines("shutdown.followup").size(), 2u);
    EXPECT_EQ(readBytes("vtl.ini"), preferences);
    EXPECT_TRUE(awaitLine("service.log", "Arrêt demandé : fin du service", 1s));
}

// The program holds the timetables, the service waits: each repeat of the 8:01 shutdown runs
// once (12 result lines, not 24). Killed, the program hands them to the service within a
// minute, which runs the 8:25 power-on.
TEST_F(SimnetServiceTest, ProgramBesideTheServiceRunsEachDueActionOnceAndHandsOverWhenKilled) {
    timetable("8:25", "8:01");
    startProgram();
    ASSERT_TRUE(awaitLine("vt_scheduler.lck", power::kProgramHolderName, 10s));
    startService();
    EXPECT_TRUE(awaitLine("service.log", "Planification assurée par Vantorel (pid", 10s));

    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-02", "SALLE1-04"}, "éteinte", 20s));
    EXPECT_TRUE(awaitLineCount("shutdown.log", 12, 60s));
    std::this_thread::sleep_for(std::chrono::milliseconds(60000 / kSpeed));  // no fourth run
    const Lines results = readLines("shutdown.log");
    show("shutdown.log", results);
    EXPECT_EQ(results.size(), 12u);

    const auto holder = power::parseSchedulerHolder(*readBytes("vt_scheduler.lck"));
    ASSERT_TRUE(holder.has_value());
    ASSERT_EQ(::kill(static_cast<pid_t>(holder->pid), SIGKILL), 0);
    const auto killed = Clock::now();
    ASSERT_TRUE(awaitLine("service.log", "Planification assurée par le service (pid", 5s));
    const double seconds = std::chrono::duration<double>(Clock::now() - killed).count();
    std::cout << "[simnet] relève en " << seconds << " s (" << seconds * kSpeed / 60
              << " min de l'horloge)\n";
    EXPECT_LT(seconds * kSpeed, 75.0);  // a minute of the clock, and the tick's jitter
    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-04"}, "allumée", 70s));
    show("service.log", utf8Lines("service.log"));
}

}  // namespace
}  // namespace vt::test
