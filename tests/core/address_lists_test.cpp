#include "core/address_lists.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/start_up.h"
#include "core/utils.h"
#include "power/incident_reports.h"
#include "status/machine_sheet.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using Lines = std::vector<std::string>;

// The program and the cache tool share "liste.mac" and "liste.ip": the tool's writes are
// stood in for by whole-file writes, as the tool makes them.
class AddressListsTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.WolTargetIp = "10.0.0.255";
        writeLines("liste.ip", {"PC01 10.0.0.1"});
        writeLines("liste.mac", {"PC01 02-00-00-00-00-01"});
        writeLines("SALLE1", {"PC01", "PC02"});
        writeLines("Autres", {});
        state.GroupList = {"SALLE1", "Autres"};
        state.IpList = readLines("liste.ip");
        state.MacList = readLines("liste.mac");
        noteAddressListsRead(state, files());
    }
    void toolWrites(std::string_view list, const Lines& lines) {
        // A later time stamp than the program's own write, whatever the file system's grain.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        writeLines(list, lines);
    }
    void holdLock() { writeLines("vt_netsweep.lck", {}); }
    status::InventoryExports exports;
};

TEST_F(AddressListsTest, WhatTheCacheToolLearnsReachesTheSheetTheExportAndLaterWrites) {
    toolWrites("liste.ip", {"pc01 10.0.0.1", "pc02 10.0.0.2"});

    EXPECT_EQ(status::fillMachineSheet(state, files(), exports, "PC02").ip, "10.0.0.2");
    EXPECT_EQ(power::machineListLines(state, files())[2], "\"PC02\";\"\";\"10.0.0.2\"");

    // A MAC learned afterwards is written into the file as it is now, the tool's lines kept.
    toolWrites("liste.mac", {"pc01 02-00-00-00-00-01", "pc03 02-00-00-00-00-03"});
    EXPECT_TRUE(
        addAddressLines(state, files(), console, AddressList::Mac, {"PC02 02-00-00-00-00-02"}));
    EXPECT_EQ(readLines("liste.mac"), (Lines{"pc01 02-00-00-00-00-01", "pc03 02-00-00-00-00-03",
                                             "PC02 02-00-00-00-00-02"}));
    EXPECT_EQ(readLines("liste.ip"), (Lines{"pc01 10.0.0.1", "pc02 10.0.0.2"}));
    EXPECT_FALSE(fileExists("vt_netsweep.lck"));
}

TEST_F(AddressListsTest, LinesWaitWhileTheToolHoldsTheListsAndAreNeverWrittenTwice) {
    holdLock();
    EXPECT_FALSE(addAddressLines(state, files(), console, AddressList::Mac,
                                 {"PC02 02-00-00-00-00-02", "PC03 02-00-00-00-00-03"}));
    EXPECT_EQ(console.lines.back(),
              "liste.mac : vt_arpsift travaille sur la liste, 2 ligne(s) "
              "apprise(s) seront enregistrées ensuite");
    EXPECT_EQ(MacLookup(state, "PC02"), "02-00-00-00-00-02");
    EXPECT_EQ(readLines("liste.mac"), Lines{"PC01 02-00-00-00-00-01"});

    // The tool's run ends with PC03 learned on its side; the copy follows and keeps PC02.
    toolWrites("liste.mac", {"pc01 02-00-00-00-00-01", "pc03 02-00-00-00-00-33"});
    refreshAddressLists(state, files());
    EXPECT_EQ(MacLookup(state, "PC02"), "02-00-00-00-00-02");
    EXPECT_EQ(MacLookup(state, "PC03"), "02-00-00-00-00-33");

    // The exit waits for the lock; the tool's own line of PC03 wins over the pending one.
    std::thread tool([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        files().removeFile(path("vt_netsweep.lck"));
    });
    const std::vector<std::string> failures = saveAtExit(state, files(), WindowGeometry{});
    tool.join();
    EXPECT_EQ(failures, Lines{});
    EXPECT_EQ(readLines("liste.mac"), (Lines{"pc01 02-00-00-00-00-01", "pc03 02-00-00-00-00-33",
                                             "PC02 02-00-00-00-00-02"}));
    EXPECT_EQ(pendingAddressLines(state), Lines{});
}

}  // namespace
}  // namespace vt
