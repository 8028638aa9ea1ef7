// vt_arpsift run as a program: a program folder in a temporary directory holds copies of the
// tool and of vt_cmd (which finds its adapters beside its own path) and small adapter scripts
// vt_nbtstat and vt_arp that print the French Windows layouts of the fixtures.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fixture_files.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir_test.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr const char* kLimitVariable = "VANTOREL_ARPSIFT_LIMIT_MS";

class VtArpsiftTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ::setenv("VANTOREL_DRIVE_C", driveC().c_str(), 1);
        fs::create_directories(path("prog"));
        for (const char* program : {"vt_arpsift", "vt_cmd"}) {
            fs::copy_file(binDir() + "/" + program, path("prog/") + program);
        }
        adapter("vt_nbtstat",
                "case \"$1\" in\n-c) exec cat \"$F/nbtstat-c.txt\" ;;\n"
                "-a) exec cat \"$F/nbtstat-a-not-found.txt\" ;;\nesac\nexit 1\n");
        adapter("vt_arp", "exec cat \"$F/arp-a.txt\"\n");
    }

    void TearDown() override {
        ::unsetenv("VANTOREL_DRIVE_C");
        ::unsetenv(kLimitVariable);
        TempDirTest::TearDown();
    }

    // An adapter script in the program folder; $F is the folder of the Windows layouts.
    void adapter(const std::string& name, const std::string& body) const {
        const std::string script = "#!/bin/sh\nF='" + fixturePath("windows-fr") + "'\n" + body;
        writeBytes("prog/" + name, script);
        fs::permissions(path("prog/" + name), fs::perms(0755));
    }

    ProgramResult arpsift() const { return runProgram({path("prog/vt_arpsift")}, 60s); }

    // The lists of a small network, with a lease file beside the tool.
    void network() const {
        writeLines("prog/liste.ip", {"PC07 10.0.0.17", "salle1-02 10.0.0.99", "pc30 10.0.0.3",
                                     "Salle2-01 10.0.0.40", "salle2-01 10.0.0.41"});
        writeLines("prog/liste.mac",
                   {"PC07 00-1a-2b-3c-4d-07", "OLD 00:1A:2B:3C:4D:5E", "PC40 00-11-22-33-44-55",
                    "PC41 00:11:22:33:44:55", "OTHER 00-1a-2b-3c-4d-60"});
        writeBytes("prog/dhcpd.leases", fixtureBytes("http/dhcpd.leases"));
    }
};

// Run from another directory: the lists are those beside the tool, the log is written where
// the tool runs.
TEST_F(VtArpsiftTest, MergesCachesAndLeasesIntoTheListsBesideIt) {
    network();
    fs::create_directories(path("elsewhere"));
    fs::current_path(path("elsewhere"));
    const ProgramResult run = arpsift();
    ASSERT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "formating MAC\n");
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(readBytes("prog/liste.ip"),
              "pc07 10.0.0.17\r\npc30 10.0.0.30\r\nSALLE1-02 10.0.0.22\r\n"
              "SALLE1-07 10.0.0.31\r\nsalle2-01 10.0.0.41\r\n");
    EXPECT_EQ(readBytes("prog/liste.mac"),
              "PC07 00-1A-2B-3C-4D-07\r\npc30 00:1a:2b:3c:4d:5f\r\n"
              "SALLE1-02 00-1A-2B-3C-4D-5E\r\nSALLE1-07 00:1a:2b:3c:4d:60\r\n");
    EXPECT_FALSE(fileExists("cache.log") || fileExists("prog/cache.log"));
    EXPECT_EQ(readBytes("elsewhere/cache.log"),
              "ip2name saved\r\nip2mac saved\r\n"
              "analyse ip2name PC07 10.0.0.17\r\nanalyse ip2name PC07 10.0.0.17\r\n"
              "analyse ip2name SALLE1-02 10.0.0.22\r\nupdating SALLE1-02 10.0.0.22 from ?\r\n"
              "liste.ip before saving\r\nliste.ip saved\r\n"
              "command.com /c nbtstat -a 10.0.0.1 > c:\\nbtstat-1.txt\r\n"
              "liste.mac before saving\r\nliste.mac saved\r\n");
    EXPECT_EQ(readBytes("drive_c/ip2name.txt"),
              "10.0.0.17=PC07\r\n10.0.0.17=PC07\r\n10.0.0.22=SALLE1-02\r\n");
    EXPECT_EQ(readBytes("drive_c/ip2mac.txt"),
              "10.0.0.1=00-0C-29-AA-BB-CC\r\n10.0.0.17=00-1A-2B-3C-4D-07\r\n"
              "10.0.0.22=00-1A-2B-3C-4D-5E\r\n");
    EXPECT_EQ(readBytes("drive_c/nbtstat-1.txt"),
              fixtureBytes("windows-fr/nbtstat-a-not-found.txt"));
    EXPECT_FALSE(fileExists("prog/vt_netsweep.lck"));
}

// Of runs started together one only works; the others leave at the lock at once, before the
// one at work has logged anything, and leave the previous log alone.
TEST_F(VtArpsiftTest, RunsStartedTogetherLeaveTheListsToOne) {
    adapter("vt_nbtstat", "[ \"$1\" = -c ] && sleep 2\nexec cat \"$F/nbtstat-a-not-found.txt\"\n");
    writeBytes("cache.log", "previous run\r\n");
    std::vector<std::future<ProgramResult>> runs;
    for (int i = 0; i < 4; ++i) {
        runs.push_back(std::async(std::launch::async, [this] { return arpsift(); }));
    }
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    auto finished = [&] {
        int count = 0;
        for (auto& run : runs) {
            count += run.wait_for(0s) == std::future_status::ready ? 1 : 0;
        }
        return count;
    };
    while (finished() < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(readBytes("cache.log"), "previous run\r\n");
    int working = 0;
    for (auto& future : runs) {
        const ProgramResult run = future.get();
        EXPECT_EQ(run.exitCode, 0) << run.standardError;
        working += run.standardOutput == "formating MAC\n" ? 1 : 0;
    }
    EXPECT_EQ(working, 1);
    EXPECT_EQ(readLines("cache.log").back(), "liste.mac saved");
    EXPECT_FALSE(fileExists("prog/vt_netsweep.lck"));
}

TEST_F(VtArpsiftTest, ACommandThatHangsIsEndedAfterTheLimitAndItsOutputRead) {
    ::setenv(kLimitVariable, "1500", 1);
    adapter("vt_arp", "cat \"$F/arp-a.txt\"\nexec sleep 60\n");
    const auto start = std::chrono::steady_clock::now();
    const ProgramResult run = arpsift();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.standardError,
              "vt_arpsift : commande arrêtée au bout de 1500 ms : cmd.exe /c arp -a > "
              "c:\\arpcache.txt\n");
    EXPECT_EQ(readLines("drive_c/ip2mac.txt").size(), 3u);
}

// Ten neighbours the name cache does not know, each status query taking a second: they are
// asked side by side, each into a file of its own, and each name goes with its own address;
// the log keeps the order of the ARP table.
TEST_F(VtArpsiftTest, UnknownNeighboursAreAskedSideBySide) {
    std::string arp;
    Lines macs;
    std::string log = "liste.ip saved\r\n";
    for (int i = 1; i <= 10; ++i) {
        const std::string ip = "10.0.1." + std::to_string(i);
        const std::string mac =
            "02-00-00-00-01-" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        arp += "echo '  " + ip + "  " + mac + "  dynamique'\n";
        macs.push_back("PC" + std::to_string(i) + " " + mac);
        log +=
            "command.com /c nbtstat -a " + ip + " > c:\\nbtstat-" + std::to_string(i) + ".txt\r\n";
    }
    adapter("vt_arp", arp);
    adapter("vt_nbtstat",
            "[ \"$1\" = -c ] && exit 0\nsleep 1\n"
            "printf '    PC%s           <00>  UNIQUE      Inscrit\\r\\n' \"${2##*.}\"\n");
    const auto start = std::chrono::steady_clock::now();
    const ProgramResult run = arpsift();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    ASSERT_EQ(run.exitCode, 0) << run.standardError;
    std::sort(macs.begin(), macs.end());
    EXPECT_EQ(readLines("prog/liste.mac"), macs);
    const std::string written = readBytes("cache.log").value_or("");
    EXPECT_NE(written.find(log + "liste.mac before saving"), std::string::npos) << written;
}

}  // namespace
}  // namespace vt::test
