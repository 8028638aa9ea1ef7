#include "status/machine_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_error.h"
#include "tests/support/fixture_files.h"
#include "tests/support/temp_dir_test.h"

namespace vt::status {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class MachineSheetTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::copy_file(test::fixturePath("inventory/hardware.ocs"), path("hardware.ocs"));
        fs::copy_file(test::fixturePath("inventory/softwares.ocs"), path("softwares.ocs"));
        state.WolTargetIp = "10.0.0.255";
        state.MacList = {"PC10 00-11-22-33-44-10", "PC07 00-11-22-33-44-07",
                         "PC1 00-11-22-33-44-01"};
        state.IpList = {"PC07* 10.0.0.99", "PC07 10.0.0.17", "pc1 10.0.0.1"};
    }
    InventoryExports exports;
};

TEST_F(MachineSheetTest, LaterRecordOfTheMachineWithItsSoftwareAndAddresses) {
    const MachineSheetContents sheet = fillMachineSheet(state, files(), exports, "PC07*");
    EXPECT_EQ(sheet.nom, "PC07*");
    // The addresses under the plain name first, then under the line as written.
    EXPECT_EQ(sheet.ip, "10.0.0.17");
    EXPECT_EQ(sheet.mac, "00-11-22-33-44-07");
    EXPECT_EQ(sheet.os, "Microsoft Windows 10 Professionnel");
    EXPECT_EQ(sheet.inventaire, "2026-11-30 09:00:00");
    EXPECT_EQ(sheet.userid, "prof.martin");
    EXPECT_EQ(sheet.model, "");
    EXPECT_EQ(sheet.ram, "");
    EXPECT_EQ(sheet.logiciels, (Lines{"LibreOffice 24.2", "Mozilla Firefox (x64 fr)"}));
}

TEST_F(MachineSheetTest, WithoutExportsTheAddressesStillShow) {
    fs::remove(path("softwares.ocs"));
    EXPECT_EQ(fillMachineSheet(state, files(), exports, "PC07").logiciels, Lines{});
    fs::remove(path("hardware.ocs"));
    const MachineSheetContents sheet = fillMachineSheet(state, files(), exports, "PC99");
    EXPECT_EQ(sheet.nom, "PC99");
    // An unlisted machine: no MAC, and the lookup's fallback address.
    EXPECT_EQ(sheet.ip, "10.0.0.255");
    EXPECT_EQ(sheet.mac, "");
    EXPECT_EQ(sheet.os, "");
    EXPECT_EQ(sheet.logiciels, Lines{kNoHardwareExport});
}

TEST_F(MachineSheetTest, ExportsAreReadAgainOnlyWhenTheirFileChanged) {
    EXPECT_EQ(fillMachineSheet(state, files(), exports, "PC07").os,
              "Microsoft Windows 10 Professionnel");
    const auto written = fs::last_write_time(path("hardware.ocs"));
    writeLines("hardware.ocs", {"1;x;PC07;;;Changé;"});
    fs::last_write_time(path("hardware.ocs"), written);
    EXPECT_EQ(fillMachineSheet(state, files(), exports, "PC07").os,
              "Microsoft Windows 10 Professionnel");
    fs::last_write_time(path("hardware.ocs"), written + std::chrono::seconds(1));
    EXPECT_EQ(fillMachineSheet(state, files(), exports, "PC07").os, "Changé");
}

TEST_F(MachineSheetTest, ExportThatCannotBeReadIsAFileError) {
    fs::remove(path("softwares.ocs"));
    fs::create_directory(path("softwares.ocs"));
    EXPECT_THROW(fillMachineSheet(state, files(), exports, "PC07"), FileError);
    // A machine without record never reads the software export.
    EXPECT_NO_THROW(fillMachineSheet(state, files(), exports, "PC99"));
}

}  // namespace
}  // namespace vt::status
