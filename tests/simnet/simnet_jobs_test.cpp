// The discovery commands on the simulated school network, as the program runs them: numbered
// job batches under vt_cmd, whose "nbtstat", "net" and "arp" are the adapters speaking NetBIOS
// to the machines' nmbd and reading the kernel's neighbour table; and the cache tool vt_arpsift
// merging what they learned into the address lists. Runs inside the admin namespace.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <thread>

#include "discovery/background_jobs.h"
#include "discovery/clean_autres.h"
#include "discovery/list_methods.h"
#include "discovery/netbios_method.h"
#include "platform/ascii_text.h"
#include "tests/simnet/simnet_test.h"
#include "tests/support/await_jobs.h"
#include "tests/support/background_program.h"
#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"

namespace vt::discovery {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

bool holds(const Lines& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

class SimnetJobsTest : public test::SimnetTest {
protected:
    void SetUp() override {
        SimnetTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        // The tools run here see the test's drive C, as the program's own starts do.
        m_driveC.emplace("VANTOREL_DRIVE_C", driveC().c_str());
        m_services.emplace(realServices());
        jobs = std::make_unique<BackgroundJobs>(state, *m_services);
    }
    void TearDown() override {
        jobs.reset();
        SimnetTest::TearDown();
    }

    // The output of one job of each launcher, once every job has ended.
    std::map<std::string, Lines> outputs;
    PollHandler keepOutput(const std::string& key) {
        return [this, key](JobPoll& job) {
            if (job.stillRunning()) {
                return;
            }
            outputs[key] = job.takeOutput().value_or(Lines{"<pas de résultat>"});
            job.finish();
        };
    }
    // A command line of the program's kind, run through vt_cmd as the cache tool runs it.
    Lines throughInterpreter(const std::string& line, const std::string& output) {
        const test::ProgramResult run =
            test::runProgram({test::binDir() + "/vt_cmd", "-c", line + " > c:\\" + output}, 30s);
        EXPECT_EQ(run.exitCode, 0) << run.standardError;
        return readLines("drive_c/" + output);
    }

    // Pings every machine, so that the neighbour table holds them, and lays out a program
    // folder of the cache tool.
    void prepareCacheTool() {
        writeLines("hosts.txt", machines());
        ASSERT_EQ(
            test::runProgram({test::binDir() + "/vt_echo", path("hosts.txt"), path("ping.txt")})
                .exitCode,
            0);
        fs::create_directories(path("prog"));
        fs::copy_file(test::binDir() + "/vt_arpsift", path("prog/vt_arpsift"));
        // vt_cmd finds the adapters beside its real path.
        fs::create_symlink(test::binDir() + "/vt_cmd", path("prog/vt_cmd"));
    }

    std::unique_ptr<BackgroundJobs> jobs;

private:
    std::optional<Services> m_services;
    std::optional<test::ScopedEnvironment> m_driveC;
};

TEST_F(SimnetJobsTest, NbtstatNetViewAndTheNameCacheOfTheJobBatches) {
    for (const std::string& machine : machines()) {
        ASSERT_TRUE(jobs->ExecLaunchNBTSTAT(machine, keepOutput(machine)));
    }
    ASSERT_TRUE(jobs->ExecLaunchNetView(keepOutput("net view")));
    ASSERT_TRUE(test::awaitJobs(*jobs, timers, 30s));

    for (const std::string& machine : machines()) {
        const Lines& output = outputs[machine];
        if (machine == kWithoutNetbios) {
            EXPECT_TRUE(holds(output, "Hôte introuvable.")) << machine;
            continue;
        }
        EXPECT_TRUE(holds(output, "    Adresse MAC = " + mac(machine))) << machine;
        EXPECT_TRUE(holds(output, "    " + machine)) << machine;
        EXPECT_TRUE(holds(output, "COLLEGE")) << machine;
    }
    show("nbtstat -a SALLE2-03", outputs["SALLE2-03"]);

    // Exactly the machines with NetBIOS, in name order.
    const Lines& view = outputs["net view"];
    show("net view", view);
    Lines listed;
    for (const std::string& line : view) {
        if (line.starts_with("\\\\")) {
            listed.push_back(line.substr(2, line.find(' ') - 2));
        }
    }
    Lines expected = machines();
    expected.erase(std::find(expected.begin(), expected.end(), kWithoutNetbios));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(holds(view, "La commande s'est terminée correctement."));

    // What they learned, each machine under its own address.
    const Lines cache = throughInterpreter("nbtstat -c", "nbtcache.txt");
    show("nbtstat -c", cache);
    for (const std::string& machine : expected) {
        EXPECT_TRUE(holds(cache, address(machine) + " ")) << machine;
    }
    EXPECT_FALSE(holds(cache, address(kWithoutNetbios) + " "));
}

TEST_F(SimnetJobsTest, ArpShowsTheMachinesPingedWithTheirBridgeMac) {
    const Lines pinged = {"SALLE1-01", "SALLE2-04", "CDI-04"};
    writeLines("hosts.txt", pinged);
    ASSERT_EQ(test::runProgram({test::binDir() + "/vt_echo", path("hosts.txt"), path("ping.txt")})
                  .exitCode,
              0);
    EXPECT_EQ(readLines("ping.txt"), (Lines{"SALLE1-01=1", "SALLE2-04=1", "CDI-04=1"}));

    const Lines arp = throughInterpreter("arp -a", "arpcache.txt");
    show("arp -a", arp);
    EXPECT_TRUE(holds(arp, "Interface : 10.77.0.2 --- 0x"));
    for (const std::string& machine : pinged) {
        std::string bridgeMac = mac(machine);
        std::transform(bridgeMac.begin(), bridgeMac.end(), bridgeMac.begin(), ::tolower);
        EXPECT_TRUE(holds(arp, address(machine))) << machine;
        EXPECT_TRUE(holds(arp, bridgeMac + "     dynamique")) << machine;
    }
}

// The cache tool from a program folder of its own, after the discovery's NET VIEW has filled
// the NetBIOS name cache and the machines have been pinged (the neighbour table then holds
// them): the names and addresses come from the name cache, the MAC addresses from the
// neighbour table; the machine without NetBIOS has no name, so it stays out.
TEST_F(SimnetJobsTest, CacheToolFillsTheAddressListsOfTheMachinesThatHaveANetbiosName) {
    ASSERT_TRUE(jobs->ExecLaunchNetView(keepOutput("net view")));
    ASSERT_TRUE(test::awaitJobs(*jobs, timers, 30s));
    ASSERT_NO_FATAL_FAILURE(prepareCacheTool());

    // A second run started while the first works exits at its lock, touching nothing.
    test::ProgramResult run;
    std::thread first([&] { run = test::runProgram({path("prog/vt_arpsift")}, 120s); });
    while (!fileExists("prog/vt_netsweep.lck") && !fileExists("prog/liste.ip")) {
        std::this_thread::sleep_for(1ms);
    }
    const test::ProgramResult second = test::runProgram({path("prog/vt_arpsift")}, 30s);
    first.join();
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.standardOutput, "");
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "formating MAC\n");
    EXPECT_FALSE(fileExists("prog/vt_netsweep.lck"));
    const Lines ips = readLines("prog/liste.ip");
    const Lines macs = readLines("prog/liste.mac");
    show("liste.ip", ips);
    show("liste.mac", macs);
    show("cache.log", readLines("cache.log"));
    show("c:\\arpcache.txt", readLines("drive_c/arpcache.txt"));
    Lines expectedIps;
    Lines expectedMacs;
    for (const std::string& machine : machines()) {
        if (machine != kWithoutNetbios) {
            expectedIps.push_back(machine + " " + address(machine));
            expectedMacs.push_back(machine + " " + mac(machine));
        }
    }
    std::sort(expectedIps.begin(), expectedIps.end());
    std::sort(expectedMacs.begin(), expectedMacs.end());
    EXPECT_EQ(ips, expectedIps);
    EXPECT_EQ(macs, expectedMacs);

    EXPECT_EQ(readLines("cache.log").front(), "ip2name saved");

    // The passive detection of the program that lies in that folder files them into their rooms.
    ASSERT_TRUE(realPlatform().system.setWorkingDirectory(path("prog")));
    state.DataDir = path("prog/");
    state.GroupList = {"SALLE1", "SALLE2", "CDI", "Autres"};
    for (const std::string& group : state.GroupList) {
        writeLines("prog/" + group, {});
    }
    ASSERT_TRUE(passiveAnalysis(state, realServices()));
    CleanAutres(state, files(), status);
    for (const std::string room : {"SALLE1", "SALLE2", "CDI"}) {
        Lines expected = this->room(room);
        std::erase(expected, std::string(kWithoutNetbios));
        EXPECT_EQ(readLines("prog/" + room), expected) << room;
    }
    EXPECT_EQ(readLines("prog/Autres"), Lines{});
}

// A machine with a hostile name table: it calls itself "PCREL01 X" and, as a master browser,
// opens its table with the workgroup's unique <1D> name. A small responder answers for it at
// the address of the machine without NetBIOS. Neither name becomes a list or group line, the
// machine PCREL01's sound lines stay, and every sound machine is learned as before.
TEST_F(SimnetJobsTest, AHostileNameTableBecomesNoListOrGroupLine) {
    writeLines("responder.hosts", {address(kWithoutNetbios) + " PCREL01\\x20X master"});
    test::BackgroundProgram responder(
        {"/usr/bin/env", "ip", "netns", "exec", "vtsim-cdi-04",
         std::string(VT_TEST_BIN_DIR) + "/vt_netbios_responder", path("responder.hosts")},
        path("responder.log"));
    for (int i = 0; i < 200 && !holds(readLines("responder.log"), "ready"); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(holds(readLines("responder.log"), "ready"))
        << readBytes("responder.log").value_or("");

    // The NET VIEW method files the rooms; the hostile name is counted, not filed.
    state.DataDir = path("");
    state.GroupList = {"SALLE1", "SALLE2", "CDI", "Autres"};
    for (const std::string& group : state.GroupList) {
        writeLines(group, {});
    }
    NetBiosMethod method(state, realServices(), *jobs, nullptr);
    method.ExecLaunchNetView();
    ASSERT_TRUE(test::awaitJobs(*jobs, timers, 60s));
    EXPECT_TRUE(holds(console.lines, "NET VIEW : 1 nom(s) de machine refusé(s)"));
    EXPECT_EQ(readLines("Autres"), Lines{});

    ASSERT_NO_FATAL_FAILURE(prepareCacheTool());
    writeLines("prog/liste.ip", {"pcrel01 10.77.0.99"});
    writeLines("prog/liste.mac", {"PCREL01 02-99-00-00-00-01"});
    const test::ProgramResult run = test::runProgram({path("prog/vt_arpsift")}, 120s);
    ASSERT_EQ(run.exitCode, 0) << run.standardError;
    responder.stop();
    show("cache.log", readLines("cache.log"));
    Lines expectedIps{"pcrel01 10.77.0.99"};
    Lines expectedMacs{"PCREL01 02-99-00-00-00-01"};
    for (const std::string& machine : machines()) {
        if (machine != kWithoutNetbios) {
            expectedIps.push_back(machine + " " + address(machine));
            expectedMacs.push_back(machine + " " + mac(machine));
        }
    }
    std::sort(expectedIps.begin(), expectedIps.end(),
              [](const auto& a, const auto& b) { return platform::compareNoCase(a, b) < 0; });
    std::sort(expectedMacs.begin(), expectedMacs.end());
    EXPECT_EQ(readLines("prog/liste.ip"), expectedIps);
    EXPECT_EQ(readLines("prog/liste.mac"), expectedMacs);
    EXPECT_TRUE(holds(readLines("cache.log"),
                      "nom de machine refusé (caractère réservé aux "
                      "lignes de commande) : PCREL01 X"));

    // The passive detection files the sound machines only.
    ASSERT_TRUE(realPlatform().system.setWorkingDirectory(path("prog")));
    state.DataDir = path("prog/");
    for (const std::string& group : state.GroupList) {
        writeLines("prog/" + group, {});
    }
    ASSERT_TRUE(passiveAnalysis(state, realServices()));
    CleanAutres(state, files(), status);
    EXPECT_EQ(readLines("prog/Autres"), Lines{"PCREL01"});
}

}  // namespace
}  // namespace vt::discovery
