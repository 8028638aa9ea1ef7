// A whole run of the cache tool in process: commands are recorded instead of started, and the
// test puts their outputs on drive C beforehand. Lists, tables, log, lock and file errors.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fixture_files.h"
#include "tests/support/temp_dir_test.h"
#include "tools/arpsift/cache_sift.h"
#include "tools/arpsift/run_lock.h"

namespace vt::arpsift {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kNameCacheCommand = "cmd.exe /c nbtstat -c > c:\\nbtcache.txt";
const std::string kArpCacheCommand = "cmd.exe /c arp -a > c:\\arpcache.txt";

class ArpsiftRunTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directories(path("prog"));
    }

    int run() {
        output.str("");
        errors.str("");
        processes.started.clear();
        CacheSift sift(recordingPlatform(), SiftSettings{path("prog") + "/", kCommandTimeLimit},
                       output, errors);
        return sift.run();
    }

    // The outputs the commands would leave on drive C.
    void caches(const Lines& nameCache, const Lines& arpCache, const Lines& statusAnswer = {}) {
        writeLines("drive_c/nbtcache.txt", nameCache);
        writeLines("drive_c/arpcache.txt", arpCache);
        writeLines("drive_c/nbtstat.txt", statusAnswer);
    }

    static std::string statusQuery(const std::string& ip) {
        return "command.com /c nbtstat -a " + ip + " > c:\\nbtstat.txt";
    }

    // Sets a file's last write to that long ago.
    void age(const std::string& relative, std::chrono::seconds ago) {
        fs::last_write_time(path(relative), fs::file_time_type::clock::now() - ago);
    }

    std::ostringstream output;
    std::ostringstream errors;
};

TEST_F(ArpsiftRunTest, NetbiosNamesUpdateChangedAddressesOnly) {
    writeLines("prog/liste.ip", {"pc07 10.0.0.17", "salle1-02 10.0.0.99"});
    caches(test::fixtureLines("windows-fr/nbtstat-c.txt"), {});
    ASSERT_EQ(run(), 0) << errors.str();
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"pc07 10.0.0.17", "SALLE1-02 10.0.0.22"}));
    EXPECT_EQ(readLines("cache.log"),
              (Lines{"ip2name saved", "ip2mac saved", "analyse ip2name PC07 10.0.0.17",
                     "analyse ip2name PC07 10.0.0.17", "analyse ip2name SALLE1-02 10.0.0.22",
                     "updating SALLE1-02 10.0.0.22 from ?", "liste.ip before saving",
                     "liste.ip saved", "liste.mac before saving", "liste.mac saved"}));
    EXPECT_EQ(readBytes("drive_c/ip2name.txt"),
              "10.0.0.17=PC07\r\n10.0.0.17=PC07\r\n10.0.0.22=SALLE1-02\r\n");
    EXPECT_EQ(readBytes("drive_c/ip2mac.txt"), "");
    EXPECT_EQ(processes.started, (Lines{kNameCacheCommand, kArpCacheCommand}));
    EXPECT_EQ(output.str(), "formating MAC\n");
    EXPECT_FALSE(fileExists("prog/vt_netsweep.lck"));
}

TEST_F(ArpsiftRunTest, NamesAreLookedUpWholeSoPc1NeverTakesPc10sLines) {
    writeLines("prog/liste.ip", {"pc10 10.0.0.10", "pc1 10.0.0.1"});
    writeLines("prog/liste.mac", {"PC10 00-00-00-00-00-10", "PC1 00-00-00-00-00-01"});
    caches({"PC1 <00> UNIQUE 10.0.0.2 600"}, {"10.0.0.2 00-00-00-00-00-02 dynamique"});
    ASSERT_EQ(run(), 0) << errors.str();
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC1 10.0.0.2", "pc10 10.0.0.10"}));
    EXPECT_EQ(readLines("prog/liste.mac"),
              (Lines{"PC1 00-00-00-00-00-02", "PC10 00-00-00-00-00-10"}));
}

TEST_F(ArpsiftRunTest, AMacFiledUnderAnotherNameMovesToTheNetbiosName) {
    writeLines("prog/liste.mac", {"OLD 00:1a:2b:3c:4d:5e", "PC07 00-1A-2B-3C-4D-07"});
    caches(test::fixtureLines("windows-fr/nbtstat-c.txt"),
           test::fixtureLines("windows-fr/arp-a.txt"),
           test::fixtureLines("windows-fr/nbtstat-a-not-found.txt"));
    ASSERT_EQ(run(), 0) << errors.str();
    EXPECT_EQ(readLines("prog/liste.mac"),
              (Lines{"PC07 00-1A-2B-3C-4D-07", "SALLE1-02 00-1A-2B-3C-4D-5E"}));
    // The router's address is not in the name cache: asked, and still unknown.
    EXPECT_EQ(processes.started,
              (Lines{kNameCacheCommand, kArpCacheCommand, statusQuery("10.0.0.1")}));
    const Lines log = readLines("cache.log");
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(Lines(log.end() - 3, log.end()),
              (Lines{statusQuery("10.0.0.1"), "liste.mac before saving", "liste.mac saved"}));
}

TEST_F(ArpsiftRunTest, StatusQueriesNameUnknownAddressesOnceAndOnlyDottedOnes) {
    writeLines("prog/liste.mac", {"PC02 00-00-00-00-00-02"});
    caches({},
           {"10.0.0.50 00-00-00-00-00-50 dynamique", "10.0.0.50 00-00-00-00-00-51 dynamique",
            "10.0.0.5>c:\\x 00-00-00-00-00-52 dynamique", "pc02 00-00-00-00-00-53 dynamique"},
           test::fixtureLines("windows-fr/nbtstat-a.txt"));
    ASSERT_EQ(run(), 0);
    EXPECT_EQ(processes.started,
              (Lines{kNameCacheCommand, kArpCacheCommand, statusQuery("10.0.0.50")}));
    // Learned by the query, then changed by the second entry of the same address.
    EXPECT_EQ(readLines("prog/liste.mac"),
              (Lines{"PC02 00-00-00-00-00-02", "SALLE1-02 00-00-00-00-00-51"}));
    EXPECT_NE(errors.str().find("adresse non valable, pas de requête nbtstat : 10.0.0.5>c:\\x"),
              std::string::npos);
    EXPECT_NE(errors.str().find("requête nbtstat : pc02"), std::string::npos);
}

TEST_F(ArpsiftRunTest, LeasesAddNamesAndSetAddresses) {
    fs::copy_file(test::fixturePath("http/dhcpd.leases"), path("prog/dhcpd.leases"));
    writeLines("prog/liste.ip", {"pc30 10.0.0.1"});
    writeLines("prog/liste.mac", {"PC30 00-00-00-00-00-01", "OTHER 00-1A-2B-3C-4D-60"});
    caches({}, {});
    ASSERT_EQ(run(), 0) << errors.str();
    // pc30 keeps its MAC; SALLE1-07 takes its MAC from OTHER, as the lease writes it.
    EXPECT_EQ(readLines("prog/liste.mac"),
              (Lines{"PC30 00-00-00-00-00-01", "SALLE1-07 00:1a:2b:3c:4d:60"}));
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"pc30 10.0.0.30", "SALLE1-07 10.0.0.31"}));
}

// --- lock -----------------------------------------------------------------------------------

TEST_F(ArpsiftRunTest, AFreshLockSendsTheRunAwayTouchingNothing) {
    writeLines("prog/liste.ip", {"PC01 10.0.0.5", "pc01 10.0.0.7"});
    writeBytes("prog/vt_netsweep.lck", "");
    age("prog/vt_netsweep.lck", std::chrono::minutes(10));
    const auto lockTime = fs::last_write_time(path("prog/vt_netsweep.lck"));
    caches({}, {});
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(output.str(), "");
    EXPECT_EQ(errors.str(), "");
    EXPECT_TRUE(processes.started.empty());
    EXPECT_FALSE(fileExists("cache.log"));
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC01 10.0.0.5", "pc01 10.0.0.7"}));
    EXPECT_EQ(fs::last_write_time(path("prog/vt_netsweep.lck")), lockTime);
}

TEST_F(ArpsiftRunTest, ALockOlderThanAHundredthOfADayIsTakenOver) {
    writeLines("prog/liste.ip", {"PC01 10.0.0.5", "pc01 10.0.0.7"});
    writeBytes("prog/vt_netsweep.lck", "");
    age("prog/vt_netsweep.lck", std::chrono::minutes(15));
    caches({}, {});
    EXPECT_EQ(run(), 0) << errors.str();
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"pc01 10.0.0.7"}));
    EXPECT_FALSE(fileExists("prog/vt_netsweep.lck"));
}

// Runs that start together on a missing or an old lock: one only takes it.
TEST_F(ArpsiftRunTest, OfRunsStartingTogetherOneOnlyTakesTheLock) {
    const std::string lock = path("prog/vt_netsweep.lck");
    for (const bool oldLockThere : {false, true}) {
        fs::remove(lock);
        if (oldLockThere) {
            writeBytes("prog/vt_netsweep.lck", "");
            age("prog/vt_netsweep.lck", std::chrono::hours(1));
        }
        std::atomic<int> ready{0};
        std::atomic<int> taken{0};
        std::atomic<int> busy{0};
        std::vector<std::thread> runs;
        for (int i = 0; i < 8; ++i) {
            runs.emplace_back([&] {
                ++ready;
                while (ready < 8) {
                }
                const LockOutcome outcome = takeRunLock(files(), lock);
                ++(outcome == LockOutcome::Taken ? taken : busy);
            });
        }
        for (std::thread& run : runs) {
            run.join();
        }
        EXPECT_EQ(taken, 1) << (oldLockThere ? "old lock" : "no lock");
        EXPECT_EQ(busy, 7);
    }
}

TEST_F(ArpsiftRunTest, AnOldLockThatCannotGoEndsTheRunVisibly) {
    writeBytes("prog/vt_netsweep.lck", "");
    age("prog/vt_netsweep.lck", std::chrono::hours(1));
    ASSERT_TRUE(files().setReadOnly(path("prog/vt_netsweep.lck"), true));
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errors.str(),
              "vt_arpsift : Impossible de créer le fichier " + path("prog/vt_netsweep.lck") + "\n");
    EXPECT_TRUE(processes.started.empty());
}

// --- file errors ----------------------------------------------------------------------------

TEST_F(ArpsiftRunTest, AListThatCannotBeReadEndsTheRunAndKeepsTheLock) {
    fs::create_directories(path("prog/liste.ip"));
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errors.str(),
              "vt_arpsift : Impossible d'ouvrir le fichier " + path("prog/liste.ip") + "\n");
    EXPECT_TRUE(fileExists("prog/vt_netsweep.lck"));
    EXPECT_FALSE(fileExists("cache.log"));
    EXPECT_EQ(run(), 0);  // the next run stops at the lock
    EXPECT_EQ(errors.str(), "");
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

TEST_F(ArpsiftRunTest, ATableThatCannotBeWrittenStopsTheRunBeforeTheLists) {
    writeLines("prog/liste.ip", {"PC01 10.0.0.5", "pc01 10.0.0.7"});
    fs::create_directories(driveC() + "ip2name.txt");
    caches({}, {});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(errors.str(), "vt_arpsift : Impossible de créer le fichier c:\\ip2name.txt\n");
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC01 10.0.0.5", "pc01 10.0.0.7"}));
}

TEST_F(ArpsiftRunTest, AFailedStartIsReportedAndThePreviousOutputIsRead) {
    processes.startSucceeds = false;
    caches({"PC07 <00> UNIQUE 10.0.0.17 600"}, {});
    EXPECT_EQ(run(), 0);
    EXPECT_NE(errors.str().find("impossible de lancer : " + kNameCacheCommand), std::string::npos);
    EXPECT_EQ(readLines("prog/liste.ip"), (Lines{"PC07 10.0.0.17"}));
}

// --- bad input ------------------------------------------------------------------------------

TEST_F(ArpsiftRunTest, OddListsAndCachesGiveSaneLists) {
    const std::string huge(3 << 20, 'h');
    writeBytes("prog/liste.ip", huge + " 10.0.0.1\r\nno-blank\r\n" +
                                    std::string("n\0l 10.0.0.2", 12) + "\r\n\r\n\r\n");
    writeBytes("prog/liste.mac", "\xff\xfe\x00\r\n" + huge + "\r\n \r\nPC9 00:00:00:00:00:09");
    writeBytes("prog/dhcpd.leases",
               "\n\n\nlease 10.0.0.3 {\nhardware ethernet ;\n"
               "client-hostname \"\";\n}\nlease {\n ethernet x;\nhostname \"pc4\"\n}\n"
               "lease 10.0.0.5 {\nhardware ethernet 00:55;\n");
    writeBytes("drive_c/nbtcache.txt",
               "x<UNIQUE\r\n<00> UNIQUE 10.0.0.9 1\r\n" + huge + "<UNIQUE 1 2\r\n");
    writeBytes("drive_c/arpcache.txt",
               std::string("\0dynamique\0 \0", 13) + "\r\n" + huge + " dynamique\r\n");
    EXPECT_EQ(run(), 0) << errors.str();
    // "no-blank" shares the empty name of the empty lines after it; the two nameless MAC lines
    // pair; the cache entry with the address "1" and the lease without one teach no address.
    EXPECT_EQ(readLines("prog/liste.ip"),
              (Lines{huge + " 10.0.0.1", std::string("n\0l 10.0.0.2", 12)}));
    EXPECT_EQ(readLines("prog/liste.mac"), (Lines{"pc4 x", "PC9 00-00-00-00-00-09"}));
}

}  // namespace
}  // namespace vt::arpsift
