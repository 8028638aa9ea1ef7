// A whole run of the cache tool in process: commands are recorded instead of started, and the
// test puts their outputs on drive C beforehand. Lookups, lock, file errors, bad input.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sweep_lock.h"
#include "tests/support/fixture_files.h"
#include "tests/support/temp_dir_test.h"
#include "tools/arpsift/cache_sift.h"

namespace vt::arpsift {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class ArpsiftRunTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directories(path("prog"));
    }

    int run() {
        errors.str("");
        processes.started.clear();
        std::ostringstream output;
        return CacheSift(recordingPlatform(), {path("prog/"), kCommandTimeLimit}, output, errors)
            .run();
    }

    // The outputs the commands would leave on drive C.
    void caches(const Lines& nameCache, const Lines& arpCache, const Lines& statusAnswer = {}) {
        writeLines("drive_c/nbtcache.txt", nameCache);
        writeLines("drive_c/arpcache.txt", arpCache);
        for (std::size_t slot = 1; slot <= kStatusQueriesAtOnce; ++slot) {
            writeLines("drive_c/nbtstat-" + std::to_string(slot) + ".txt", statusAnswer);
        }
    }

    void lockWrittenAgo(std::chrono::seconds ago) {
        writeBytes("prog/vt_netsweep.lck", "");
        fs::last_write_time(path("prog/vt_netsweep.lck"), fs::file_time_type::clock::now() - ago);
    }

    std::ostringstream errors;
};

TEST_F(ArpsiftRunTest, NamesAreLookedUpWholeSoPc1NeverTakesPc10sLines) {
    writeLines("prog/liste.ip", {"pc10 10.0.0.10", "pc1 10.0.0.1"});
    writeLines("prog/liste.mac", {"PC10 00-00-00-00-00-10", "PC1 00-00-00-00-00-01"});
    caches({"PC1 <00> UNIQUE 10.0.0.2 600"}, {"10.0.0.2 00-00-00-00-00-02 dynamique"});
    ASSERT_EQ(run(), 0) << errors.str();
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC1 10.0.0.2", "pc10 10.0.0.10"}));
    EXPECT_EQ(readLines("prog/liste.mac"),
              (Lines{"PC1 00-00-00-00-00-02", "PC10 00-00-00-00-00-10"}));
}

// Every source names a machine "PCREL01 X" or the like, lines an older run left hold such a
// name, and the master browser's role stands in the name cache and the status answer: run
// after run, only the sound lines of the machine PCREL01 stay, and the log says why.
TEST_F(ArpsiftRunTest, HostileNamesNeverBecomeListLinesNorTakeTheSoundOnes) {
    const Lines ips{"pcrel01 10.0.0.9"};
    const Lines macs{"PCREL01 02-99-00-00-00-01"};
    writeLines("prog/liste.ip", {ips[0], "pcrel01 x 10.0.0.5"});
    writeLines("prog/liste.mac", {macs[0], "PCREL01 X 2E-01-FD-43-01-30"});
    Lines leases;
    for (const char* name : {"PCREL01 X", "PC\vX", "PC& CALC"}) {
        // each with the sound line's MAC, which a lease's name would take over
        leases.insert(leases.end(), {"lease 10.0.0.7 {", " hardware ethernet 02:99:00:00:00:01;",
                                     std::string(" client-hostname \"") + name + "\";", "}"});
    }
    writeLines("prog/dhcpd.leases", leases);
    caches({"    PCREL01 X      <00>  UNIQUE          10.0.0.5            600",
            "    COLLEGE        <1D>  UNIQUE          10.0.0.6            600"},
           {"10.0.0.5 2e-01-fd-43-01-30 dynamique", "10.0.0.6 2e-01-fd-43-01-31 dynamique"},
           {"", "    COLLEGE        <1D>  UNIQUE      Inscrit",
            "    PCREL01 X      <00>  UNIQUE      Inscrit", ""});
    const std::string syntax =
        " : nom de machine refusé (caractère réservé aux lignes de "
        "commande) : PCREL01 X";
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(run(), 0) << errors.str();
        EXPECT_EQ(readLines("prog/liste.ip"), ips);
        EXPECT_EQ(readLines("prog/liste.mac"), macs);
    }
    const Lines log = readLines("cache.log");
    for (const std::string& line :
         {"dhcpd.leases" + syntax, "nbtstat -c" + syntax, "nbtstat -a 10.0.0.5" + syntax,
          "nbtstat -a 10.0.0.6" + syntax,
          std::string("dhcpd.leases : nom de machine refusé (nom de fichier ou chemin) : PC.X")}) {
        EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
    }
}

TEST_F(ArpsiftRunTest, StatusQueriesNameUnknownAddressesOnceAndOnlyDottedOnes) {
    caches({},
           {"10.0.0.50 00-00-00-00-00-50 dynamique", "10.0.0.50 00-00-00-00-00-51 dynamique",
            "10.0.0.5>c:\\x 00-00-00-00-00-52 dynamique"},
           test::fixtureLines("windows-fr/nbtstat-a.txt"));
    ASSERT_EQ(run(), 0);
    EXPECT_EQ(processes.started.size(), 3u);
    EXPECT_EQ(processes.started.back(), "command.com /c nbtstat -a 10.0.0.50 > c:\\nbtstat-1.txt");
    // Learned by the query, then changed by the second entry of the same address.
    EXPECT_EQ(readLines("prog/liste.mac"), (Lines{"SALLE1-02 00-00-00-00-00-51"}));
    EXPECT_EQ(errors.str(),
              "vt_arpsift : adresse non valable, pas de requête nbtstat : 10.0.0.5>c:\\x\n");
}

TEST_F(ArpsiftRunTest, AFreshLockSendsTheRunAwayTouchingNothing) {
    writeLines("prog/liste.ip", {"PC01 10.0.0.5", "pc01 10.0.0.7"});
    lockWrittenAgo(std::chrono::minutes(10));
    const auto lockTime = fs::last_write_time(path("prog/vt_netsweep.lck"));
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_FALSE(fileExists("cache.log"));
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC01 10.0.0.5", "pc01 10.0.0.7"}));
    EXPECT_EQ(fs::last_write_time(path("prog/vt_netsweep.lck")), lockTime);

    lockWrittenAgo(std::chrono::minutes(15));
    EXPECT_EQ(run(), 0) << errors.str();
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"pc01 10.0.0.7"}));
    EXPECT_FALSE(fileExists("prog/vt_netsweep.lck"));
}

TEST_F(ArpsiftRunTest, OfRunsFindingTheSameOldLockOneOnlyTakesItOver) {
    lockWrittenAgo(std::chrono::hours(1));
    std::atomic<int> ready{0};
    std::atomic<int> taken{0};
    std::vector<std::jthread> runs;
    for (int i = 0; i < 8; ++i) {
        runs.emplace_back([&] {
            for (++ready; ready < 8;) {
            }
            taken += platform::takeSweepLock(files(), path("prog/vt_netsweep.lck")) ==
                     platform::SweepLockOutcome::Taken;
        });
    }
    runs.clear();
    EXPECT_EQ(taken, 1);
}

TEST_F(ArpsiftRunTest, AListThatCannotBeReadEndsTheRunAndKeepsTheLock) {
    fs::create_directories(path("prog/liste.ip"));
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errors.str(),
              "vt_arpsift : Impossible d'ouvrir le fichier " + path("prog/liste.ip") + "\n");
    EXPECT_FALSE(fileExists("cache.log"));
    EXPECT_EQ(run(), 0);  // the next run stops at the lock
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(ArpsiftRunTest, AListThatCannotBeWrittenStopsTheRunAtThatStep) {
    writeLines("prog/liste.ip", {"pc07 10.0.0.1"});
    writeLines("prog/liste.mac", {"pc07 00:00:00:00:00:07"});
    ASSERT_TRUE(files().setReadOnly(path("prog/liste.mac"), true));
    caches(test::fixtureLines("windows-fr/nbtstat-c.txt"), {});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errors.str(),
              "vt_arpsift : Impossible de créer le fichier " + path("prog/liste.mac") + "\n");
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC07 10.0.0.17", "SALLE1-02 10.0.0.22"}));
    EXPECT_EQ(readLines("prog/liste.mac"), (Lines{"pc07 00:00:00:00:00:07"}));
    EXPECT_EQ(readLines("cache.log").back(), "liste.mac before saving");
    EXPECT_TRUE(fileExists("prog/vt_netsweep.lck"));
}

TEST_F(ArpsiftRunTest, OddListsAndCachesGiveSaneLists) {
    const std::string huge(1 << 20, 'h');
    const std::string nul("n\0l 10.0.0.2", 12);
    writeBytes("prog/liste.ip", huge + " 10.0.0.1\r\nno-blank\r\n" + nul + "\r\n\r\n");
    writeBytes("prog/liste.mac",
               std::string("\xff\x00\r\n", 4) + huge + "\r\nPC9 00:00:00:00:00:09");
    caches({huge + "<00> UNIQUE 1 2"}, {huge + " dynamique"});
    EXPECT_EQ(run(), 0) << errors.str();
    // The overlong name and the control character are no names; "no-blank" shares the empty
    // name of the empty line after it; the two nameless MAC lines pair; the cache's overlong
    // name teaches nothing. (Compared as a whole: a failure must not print megabytes.)
    EXPECT_TRUE(readLines("prog/liste.ip").empty());
    EXPECT_TRUE(readLines("prog/liste.mac") == (Lines{"PC9 00-00-00-00-00-09"}));

    std::mt19937 random(7);
    const char* const kSeeds[] = {"UNIQUE",   "dynamique", "lease", "{",  "}",
                                  "ethernet", "hostname",  "\"",    ";",  "<",
                                  " ",        "=",         ":",     "\n", "10.0.0.1 "};
    for (int round = 0; round < 12; ++round) {
        for (const char* file : {"prog/liste.ip", "prog/liste.mac", "prog/dhcpd.leases",
                                 "drive_c/nbtcache.txt", "drive_c/arpcache.txt"}) {
            std::string bytes;
            const std::size_t size = random() % 3000;
            while (bytes.size() < size) {
                bytes += random() % 3 == 0 ? kSeeds[random() % std::size(kSeeds)]
                                           : std::string(1, static_cast<char>(random()));
            }
            writeBytes(file, bytes);
        }
        ASSERT_EQ(run(), 0) << errors.str();
        ASSERT_FALSE(fileExists("prog/vt_netsweep.lck"));
    }
}

}  // namespace
}  // namespace vt::arpsift
