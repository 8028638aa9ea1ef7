#include "discovery/net_scan.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

class NetScanTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "CDI", "Autres"};
        writeLines("Autres", {"SALLE1-01", "PC9"});
        writeLines("SALLE1", {"SALLE1-01"});
        jobs = std::make_unique<BackgroundJobs>(state, services());
        scan = std::make_unique<NetScan>(state, services(), *jobs, http, http2, nullptr);
    }
    void TearDown() override {
        scan.reset();
        jobs.reset();
        TempDirTest::TearDown();
    }
    // The closing sequence's status texts, after what came before them.
    static Lines closing() {
        return {"Nettoyage....veuillez patienter... ", "Nettoyage de SALLE1veuillez patienter... ",
                "Nettoyage de CDIveuillez patienter... ",
                "Terminé! vous pouvez cliquez sur \"Fermer\" "};
    }

    test::RecordingHttpClient http;
    test::RecordingHttpClient http2;
    std::unique_ptr<BackgroundJobs> jobs;
    std::unique_ptr<NetScan> scan;
};

TEST_F(NetScanTest, HelpTextHasFiveEntriesEachFollowedByAnEmptyLine) {
    EXPECT_EQ(scanHelpText(),
              "* méthode CSV : fournir un csv au format \"machine ; ip ; mac\"\r\n\r\n"
              "* méthode IPR : (attention! ne fonctionne pas sur certains ipr!!)\r\n\r\n"
              "* méthode NETVIEW utilise la fonction Windows: \r\n\r\n"
              "* méthode DHCP leases : analyse du fichier dhcpd.leases\r\n\r\n"
              "* méthode Détection passive : ces machines ont été détectées par analyse des "
              "caches réseau\r\n\r\n");
}

TEST_F(NetScanTest, LeasesChoiceOnlyCleansAutres) {
    scan->Button1Click(ScanChoice{kLeasesMethod, "", ""});
    EXPECT_EQ(status.texts, closing());
    EXPECT_EQ(readLines("Autres"), Lines{"PC9"});
    EXPECT_TRUE(http2.requests.empty());
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(NetScanTest, NoChoiceOnlyCleansAutres) {
    scan->Button1Click(ScanChoice{-1, "", ""});
    EXPECT_EQ(status.texts, closing());
}

TEST_F(NetScanTest, CsvIsCleanedTwiceAndSaysItIsDone) {
    writeLines("x.csv", {"Machine,IP", "cdi-01,1"});
    scan->Button1Click(ScanChoice{kCsvMethod, path("x.csv"), ""});
    Lines expected{"cdi-01 correspond au groupe de machines CDI",
                   "Nettoyage de SALLE1veuillez patienter... ",
                   "Nettoyage de CDIveuillez patienter... ", "Analyse de l'export OCS terminée"};
    const Lines rest = closing();
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(status.texts, expected);
    EXPECT_EQ(readLines("CDI"), Lines{"CDI-01"});
}

TEST_F(NetScanTest, UnreadableCsvStopsBeforeAnyChange) {
    EXPECT_THROW(scan->Button1Click(ScanChoice{kCsvMethod, path("absent.csv"), ""}), FileError);
    EXPECT_TRUE(status.texts.empty());
    EXPECT_EQ(readLines("Autres"), (Lines{"SALLE1-01", "PC9"}));
}

TEST_F(NetScanTest, NetViewAndIprCloseWhileTheirWorkGoesOn) {
    scan->Button1Click(ScanChoice{kNetViewMethod, "", ""});
    Lines expected{"Lancement de NET VIEW..."};
    Lines rest = closing();
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(status.texts, expected);
    EXPECT_EQ(processes.started, Lines{"c:\\netview0.bat"});
    EXPECT_TRUE(jobs->isInFlight(0));

    status.texts.clear();
    scan->Button1Click(ScanChoice{kIprMethod, "", "pw"});
    expected = {"Envoi d'une requete vers ipr..."};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(status.texts, expected);
    EXPECT_TRUE(http.running());
}

}  // namespace
}  // namespace vt::discovery
