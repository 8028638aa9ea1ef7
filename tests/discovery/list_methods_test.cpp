#include "discovery/list_methods.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/fixture_files.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

struct HeaderCase {
    const char* header;
    std::optional<std::size_t> column;
};

class CsvHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(CsvHeaderTest, MachineColumn) {
    EXPECT_EQ(csvMachineColumn(GetParam().header), GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(Headers, CsvHeaderTest,
                         ::testing::Values(HeaderCase{"Nom,Machine,IP", 1},
                                           HeaderCase{"Machine,IP", 0},
                                           HeaderCase{"Nom,IP,Machine", std::nullopt},
                                           HeaderCase{"Nom,machine,IP", std::nullopt},
                                           HeaderCase{"Nom, Machine,IP", std::nullopt},
                                           HeaderCase{"", std::nullopt},
                                           HeaderCase{",,Machine,", 2}));

TEST(CsvHeaderTest, OnlyTheFirst255CharactersAfterACommaAreSearched) {
    const std::string near = "a," + std::string(245, 'x') + ",Machine,";
    const std::string far = "a," + std::string(250, 'x') + ",Machine,";
    EXPECT_EQ(csvMachineColumn(near), 2u);
    EXPECT_EQ(csvMachineColumn(far), std::nullopt);
}

TEST(CsvLineTest, MachineFieldNeedsTheCommaAfterIt) {
    EXPECT_EQ(csvMachineName("x,Salle2-PC4,10.0.0.4", 1), "Salle2-PC4");
    EXPECT_EQ(csvMachineName("x,Salle2-PC4", 1), "");
    EXPECT_EQ(csvMachineName("PC1,", 0), "PC1");
    EXPECT_EQ(csvMachineName("x", 3), "");
    EXPECT_EQ(csvMachineName(",,,", 2), "");
}

class ListMethodsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "SALLE2", "CDI", "Autres"};
    }
};

TEST_F(ListMethodsTest, CsvExportFilesItsMachinesInUpperCase) {
    writeBytes("export.csv", test::fixtureBytes("inventory/inventaire.csv"));
    importCsv(state, services(), path("export.csv"));
    EXPECT_EQ(console.lines, Lines{"le champ machine est le 1"});
    EXPECT_EQ(readLines("SALLE2"), Lines{"SALLE2-PC4"});
    EXPECT_EQ(readLines("SALLE1"), Lines{"SALLE1-03"});
    EXPECT_EQ(readLines("CDI"), Lines{"CDI-02"});
    EXPECT_FALSE(fileExists("Autres"));
    EXPECT_EQ(status.texts.front(), "salle2-pc4 correspond au groupe de machines SALLE2");
}

TEST_F(ListMethodsTest, CsvLinesWithoutAMachineAreCountedNotFiled) {
    writeLines("export.csv", {"Nom,Machine,IP", "a,pc1,1", "b,pc2", "c,,3", "d"});
    importCsv(state, services(), path("export.csv"));
    EXPECT_EQ(readLines("Autres"), Lines{"PC1"});
    EXPECT_EQ(console.lines.back(), "CSV : 3 ligne(s) sans nom de machine ignorée(s)");
}

TEST_F(ListMethodsTest, CsvWithoutMachineColumnOrLinesFilesNothing) {
    writeLines("last.csv", {"Nom,IP,Machine", "x,10.0.0.4,Salle2-PC4"});
    writeLines("header.csv", {"Nom,Machine,IP"});
    writeBytes("empty.csv", "");
    for (const char* file : {"last.csv", "header.csv", "empty.csv"}) {
        importCsv(state, services(), path(file));
    }
    EXPECT_FALSE(fileExists("SALLE2"));
    EXPECT_FALSE(fileExists("Autres"));
    EXPECT_EQ(console.lines, Lines{"le champ machine est le 1"});
}

TEST_F(ListMethodsTest, UnreadableCsvIsAFileError) {
    EXPECT_THROW(importCsv(state, services(), path("absent.csv")), FileError);
    EXPECT_THROW(importCsv(state, services(), ""), FileError);
}

TEST_F(ListMethodsTest, PassiveFilesEveryListedName) {
    writeLines("liste.mac", {"salle1-01 00-11", "nomac", "CDI-01 00-22"});
    writeLines("liste.ip", {"salle1-01 10.0.0.1", "noip", "PC9 10.0.0.9"});
    ASSERT_TRUE(passiveAnalysis(state, services()));
    EXPECT_EQ(state.MacList, (Lines{"salle1-01 00-11", "nomac", "CDI-01 00-22"}));
    EXPECT_EQ(state.IpList, (Lines{"salle1-01 10.0.0.1", "noip", "PC9 10.0.0.9"}));
    EXPECT_EQ(readLines("SALLE1"), Lines{"SALLE1-01"});
    EXPECT_EQ(readLines("CDI"), Lines{"CDI-01"});
    EXPECT_EQ(readLines("Autres"), Lines{"PC9"});
    // The MAC line without a blank names nothing; the IP line without one is passed over.
    EXPECT_EQ(console.lines,
              Lines{"Détection passive : 1 ligne(s) sans nom de machine ignorée(s)"});
}

TEST_F(ListMethodsTest, PassiveStopsSilentlyWithoutEitherList) {
    state.MacList = {"old"};
    EXPECT_FALSE(passiveAnalysis(state, services()));
    EXPECT_EQ(state.MacList, Lines{"old"});
    writeLines("liste.mac", {"PC1 00-11"});
    EXPECT_FALSE(passiveAnalysis(state, services()));
    EXPECT_EQ(state.MacList, Lines{"PC1 00-11"});
    EXPECT_TRUE(console.lines.empty());
    EXPECT_TRUE(status.texts.empty());
    EXPECT_FALSE(fileExists("Autres"));
}

}  // namespace
}  // namespace vt::discovery
