#include "status/inventory.h"

#include <gtest/gtest.h>


#include "core/file_error.h"
#include "core/text_file.h"
#include "tests/support/fixture_files.h"
#include "tests/support/temp_dir_test.h"

namespace vt::status {
namespace {

using Lines = std::vector<std::string>;

// The inventory exports of the fixtures, as lines.
Lines fixtureLines(const std::string& name) {
    return test::fixtureLines("inventory/" + name);
}

TEST(InventoryFieldTest, FieldsAreCountedBetweenSemicolons) {
    const Lines hardware = fixtureLines("hardware.ocs");
    ASSERT_EQ(hardware.size(), 3u);
    const std::string& xp = hardware[0];
    EXPECT_EQ(inventoryField(xp, kIdentifierField), "12");
    EXPECT_EQ(inventoryField(xp, 3), "PC07");
    EXPECT_EQ(inventoryField(xp, kSystemField), "Microsoft Windows XP Professional");
    EXPECT_EQ(inventoryField(xp, kAddressField), "10.0.0.17");
    EXPECT_EQ(inventoryField(xp, 15), "");
    EXPECT_EQ(inventoryField(xp, kLastInventoryField), "2008-03-14 10:22:31");
    EXPECT_EQ(inventoryField(xp, kUserField), "didodev");
}

struct FieldCase {
    const char* record;
    int k;
    const char* field;
};

class InventoryFieldCaseTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(InventoryFieldCaseTest, FieldWithoutItsSemicolonIsEmpty) {
    EXPECT_EQ(inventoryField(GetParam().record, GetParam().k), GetParam().field)
        << GetParam().record << " / " << GetParam().k;
}

INSTANTIATE_TEST_SUITE_P(
    Table, InventoryFieldCaseTest,
    ::testing::Values(FieldCase{"a;b;c;", 1, "a"}, FieldCase{"a;b;c;", 3, "c"},
                      FieldCase{"a;b;c", 3, ""},  // the last field of a line is never read
                      FieldCase{"a;b;c;", 4, ""}, FieldCase{"", 1, ""}, FieldCase{";;x;", 3, "x"},
                      FieldCase{"a;b;", 0, ""}, FieldCase{"a;b;", -2, ""}));

TEST(InventoryFieldTest, NineteenSeparatorsLeaveTheUserEmpty) {
    std::string record;
    for (int k = 1; k <= 19; ++k) {
        record += "f" + std::to_string(k) + ";";
    }
    EXPECT_EQ(inventoryField(record, 19), "f19");
    EXPECT_EQ(inventoryField(record + "didodev", kUserField), "");
    EXPECT_EQ(inventoryField(record + "didodev;", kUserField), "didodev");
}

TEST(InventoryFieldTest, EachStepKeepsAtMost1023CharactersOfTheRest) {
    // After the first separator 1023 characters are kept: with a second field of 1019
    // characters the third still ends with its ";" within them, with 1020 it no longer does.
    const std::string fits = "1;" + std::string(1019, 'x') + ";ab;cd;";
    EXPECT_EQ(inventoryField(fits, 2), std::string(1019, 'x'));
    EXPECT_EQ(inventoryField(fits, 3), "ab");
    // What lay beyond those 1023 characters is gone for every later field.
    EXPECT_EQ(inventoryField(fits, 4), "");
    const std::string cut = "1;" + std::string(1020, 'x') + ";ab;cd;";
    EXPECT_EQ(inventoryField(cut, 2), std::string(1020, 'x'));
    EXPECT_EQ(inventoryField(cut, 3), "");
    EXPECT_EQ(inventoryField(cut, 4), "");
    // Characters are counted, not bytes: "é" takes two bytes in memory.
    EXPECT_EQ(inventoryField("1;" + std::string(1018, 'x') + ";éé;", 3), "éé");
}

TEST(HardwareInventoryTest, RecordIsFoundByAWholeFieldNotByAPieceOfTheLine) {
    Lines records = fixtureLines("hardware.ocs");
    const HardwareInventory inventory(records);
    // PC07 was inventoried twice: its later record counts. PC1 is in no record, although
    // PC10's record and device names hold it.
    ASSERT_NE(inventory.recordOf("PC07"), nullptr);
    EXPECT_EQ(inventoryField(*inventory.recordOf("PC07"), kIdentifierField), "14");
    EXPECT_EQ(inventory.recordOf("PC1"), nullptr);
    ASSERT_NE(inventory.recordOf("PC10"), nullptr);
    EXPECT_EQ(inventoryField(*inventory.recordOf("PC10"), kIdentifierField), "13");
    // The group-file line as written: the never-shutdown mark, other case, blanks.
    for (const char* line : {"PC07*", "pc07", " Pc07 "}) {
        ASSERT_NE(inventory.recordOf(line), nullptr) << line;
        EXPECT_EQ(inventoryField(*inventory.recordOf(line), kIdentifierField), "14") << line;
    }
    // Only whole fields: neither a device name that begins with the name, nor a piece of one.
    EXPECT_EQ(inventory.recordOf("PC07-2008"), nullptr);
    EXPECT_EQ(inventory.recordOf("COLL"), nullptr);
    EXPECT_EQ(inventory.recordOf(""), nullptr);
    EXPECT_EQ(inventory.recordOf("*"), nullptr);
}

TEST(HardwareInventoryTest, LaterRecordOfAMachineWinsWhateverItsField) {
    const HardwareInventory inventory(
        Lines{"1;salle1-01;SALLE1-01;", "2;autre;", "3;x;y;Salle1-01 ;"});
    ASSERT_NE(inventory.recordOf("SALLE1-01"), nullptr);
    EXPECT_EQ(*inventory.recordOf("SALLE1-01"), "3;x;y;Salle1-01 ;");
    EXPECT_EQ(inventory.recordOf("SALLE1"), nullptr);
}

TEST(InventoryTest, OnlyTheTwoOldSystemsLoseTheirPrefix) {
    EXPECT_EQ(shownSystemName("Microsoft Windows XP Professional"), "Windows XP Professional");
    EXPECT_EQ(shownSystemName("Microsoft Windows 2000 Professional"), "Windows 2000 Professional");
    EXPECT_EQ(shownSystemName("Microsoft Windows 10 Professionnel"),
              "Microsoft Windows 10 Professionnel");
    EXPECT_EQ(shownSystemName("microsoft windows xp professional"),
              "microsoft windows xp professional");
}

TEST(InventoryTest, SoftwareOfAMachineInFileOrderByItsExactIdentifier) {
    const Lines software = fixtureLines("softwares.ocs");
    EXPECT_EQ(installedSoftware(software, "12"),
              (Lines{"Mozilla Firefox", "Microsoft Office 2003"}));
    EXPECT_EQ(installedSoftware(software, "14"),
              (Lines{"LibreOffice 24.2", "Mozilla Firefox (x64 fr)"}));
    EXPECT_EQ(installedSoftware(software, "1"), Lines{});
    EXPECT_EQ(installedSoftware(software, ""), Lines{});
}

class InventoryExportTest : public test::TempDirTest {};

TEST_F(InventoryExportTest, MissingExportIsNothingAndAnUnreadableOneAFileError) {
    EXPECT_EQ(loadInventoryExport(files(), kHardwareExport), std::nullopt);
    writeLines("hardware.ocs", {"12;PC07;"});
    EXPECT_EQ(loadInventoryExport(files(), "HARDWARE.OCS"), Lines{"12;PC07;"});
    files().createDirectories(path("softwares.ocs"));
    EXPECT_THROW(loadInventoryExport(files(), kSoftwareExport), FileError);
}

}  // namespace
}  // namespace vt::status
