#include "discovery/clean_autres.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

class CleanAutresTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"SALLE1", "SALLE2", "Autres"};
    }
};

TEST_F(CleanAutresTest, MarkedMachineRemovesOneLineAndTheOrderStays) {
    writeLines("Autres", {"PC9", "PC7", "PC9"});
    writeLines("SALLE1", {"PC9*"});
    writeLines("SALLE2", {});
    CleanAutres(state, files(), status);
    EXPECT_EQ(readLines("Autres"), (Lines{"PC7", "PC9"}));
}

TEST_F(CleanAutresTest, EachListingGroupRemovesOneLineWithoutRegardToCase) {
    writeLines("Autres", {"ZED", "pc9", "PC9", "ALPHA"});
    writeLines("SALLE1", {" PC9 ", "zed"});
    writeLines("SALLE2", {"Pc9"});
    CleanAutres(state, files(), status);
    EXPECT_EQ(readBytes("Autres"), "ALPHA\r\n");
}

TEST_F(CleanAutresTest, StatusNamesEachGroupAndMissingFilesReadAsEmpty) {
    state.GroupList = {"SALLE1", "autres", "SALLE2", "Autres"};
    writeLines("SALLE1", {"PC1"});
    CleanAutres(state, files(), status);
    EXPECT_EQ(status.texts, (Lines{"Nettoyage de SALLE1veuillez patienter... ",
                                   "Nettoyage de SALLE2veuillez patienter... "}));
    EXPECT_EQ(readBytes("Autres"), "");
}

}  // namespace
}  // namespace vt::discovery
