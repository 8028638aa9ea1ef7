#include "core/start_up.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_error.h"
#include "core/incident_logs.h"
#include "core/strings.h"
#include "core/utils.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using Lines = std::vector<std::string>;

class StartUpTest : public test::TempDirTest {
protected:
    void start(bool local = false) { loadSharedState(state, services(), window, local); }
    WindowGeometry window;
};

TEST_F(StartUpTest, FirstStartInAnEmptyDirectoryCreatesTheFiles) {
    start();
    for (const char* name :
         {"liste.mac", "liste.ip", "liste.patch", "liste.ip.discover", "vtl.ini"}) {
        EXPECT_EQ(readBytes(name), "") << name;
    }
    const std::string wol = *readBytes("wol.followup");
    const std::string shutdown = *readBytes("shutdown.followup");
    EXPECT_EQ(wol.size(), 115u + 2);
    EXPECT_EQ(shutdown.size(), 114u + 2);
    EXPECT_EQ(wol,
              "     Date     ;    Heure    ;   Ordinateur   ;         Erreur constat\xE9"
              "e         ;              Cause              ;\r\n");
    EXPECT_EQ(state.WolIncidents, Lines{kWolLogHeader});
    EXPECT_EQ(state.ShutdownIncidents, Lines{kShutdownLogHeader});
    EXPECT_EQ(state.Prefs.esu, "false");
    EXPECT_EQ(state.OtherGroupName, "Autres");
    EXPECT_EQ(window.height, 698);

    LoadGroups(state, files(), console);
    EXPECT_EQ(state.GroupList, Lines{"Autres"});
    EXPECT_TRUE(fileExists("Autres"));
}

TEST_F(StartUpTest, ExistingListsAndLogsAreLoadedAsTheyStand) {
    writeLines("liste.mac", {"PC1 00-11-22-33-44-55"});
    writeLines("liste.ip", {"PC1 10.0.0.1"});
    writeLines("liste.patch", {"p"});
    writeLines("liste.ip.discover", {"d"});
    writeLines("wol.followup", {kWolLogHeader, "07/12/2026;07:35:20;PC1;erreur;cause;"});
    writeLines("shutdown.followup", {});
    start();
    EXPECT_EQ(state.MacList, Lines{"PC1 00-11-22-33-44-55"});
    EXPECT_EQ(state.IpList, Lines{"PC1 10.0.0.1"});
    EXPECT_EQ(state.PatchList, Lines{"p"});
    EXPECT_EQ(state.IpDiscoverList, Lines{"d"});
    EXPECT_EQ(state.WolIncidents.size(), 2u);
    EXPECT_TRUE(state.ShutdownIncidents.empty());  // an existing empty log gets no header
}

TEST_F(StartUpTest, DataDirIsTheProgramDirectoryUnlessAlreadySet) {
    start();
    EXPECT_EQ(state.DataDir, path(""));
    VtlVar fresh;
    WindowGeometry other;
    loadSharedState(fresh, services(), other, false);
    EXPECT_EQ(fresh.DataDir, realPlatform().system.executableDirectory());
}

TEST_F(StartUpTest, LocalArgumentWinsOverThePreferencesAndIsSavedAtExit) {
    writeLines("vtl.ini", {"esu=true", "pdc=\\\\PDC"});
    start(true);
    EXPECT_EQ(state.Prefs.esu, "false");
    saveAtExit(state, files(), window);
    EXPECT_EQ(readLines("vtl.ini")[1], "esu=false");

    writeLines("vtl.ini", {"esu=true"});
    start(false);
    EXPECT_EQ(state.Prefs.esu, "true");
}

TEST_F(StartUpTest, CaptionCarriesTheTargetAddressAndTheFirstLocalMask) {
    writeLines("vtl.ini", {"ip=10.1.2.255"});
    start();
    ASSERT_FALSE(state.LocalMasks.empty());
    EXPECT_EQ(state.WolTargetIp, "10.1.2.255");
    EXPECT_EQ(
        mainWindowCaption(state),
        "Vantorel  - Gestion des alimentations en énergie du parc informatique 10.1.2.255 - " +
            state.LocalMasks.front());
}

TEST_F(StartUpTest, EmptyIpPreferenceGivesTheFirstLocalAddress) {
    writeLines("vtl.ini", {"ip=", "masque=255.255.0.0"});
    start();
    ASSERT_FALSE(state.LocalAddresses.empty());
    EXPECT_EQ(state.WolTargetIp, state.LocalAddresses.front());
    EXPECT_EQ(state.WolTargetMask, "255.255.0.0");
}

// The logs on disk may hold what another process appended since the start: the exit leaves
// them as they are, whatever memory holds.
TEST_F(StartUpTest, ExitSavesThePreferencesAndLeavesTheLogsAsTheirAppendsMadeThem) {
    start();
    writeLines("wol.followup", {kWolLogHeader, "appended by the service"});
    state.WolIncidents.push_back("07/12/2026;07:35:20;PC1;pas allumé;raison inconnue;");
    EXPECT_TRUE(saveAtExit(state, files(), window).empty());
    EXPECT_EQ(readLines("vtl.ini").size(), preferencesFileLines(state, window).size());
    EXPECT_EQ(readLines("wol.followup"), (Lines{kWolLogHeader, "appended by the service"}));
    EXPECT_EQ(readLines("shutdown.followup"), Lines{kShutdownLogHeader});

    ASSERT_TRUE(files().setReadOnly(path("vtl.ini"), true));
    const std::vector<std::string> failures = saveAtExit(state, files(), window);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("vtl.ini"), std::string::npos);
}

TEST_F(StartUpTest, DatapathThatWouldChangeABatchLineIsNotUsed) {
    for (const std::string datapath : {"/tmp/x>y/", "/tmp/\"q/", "/tmp/a&b/", "/tmp/%TEMP%/"}) {
        state = VtlVar();
        state.DataDir = path("");
        console.lines.clear();
        writeLines("vtl.ini", {"datapath=" + datapath});
        start();
        EXPECT_EQ(state.DataDir, path("")) << datapath;
        EXPECT_EQ(state.Prefs.datapath, datapath);  // kept as typed, and saved so
        ASSERT_EQ(console.lines.size(), 1u);
        EXPECT_EQ(console.lines[0],
                  "datapath non utilisé (caractère réservé aux lignes de commande) : le dossier "
                  "du programme sert de dossier de données : " +
                      path(""));
    }
    writeLines("vtl.ini", {"datapath=" + path("Données partagées/")});
    start();
    EXPECT_EQ(state.DataDir, path("Données partagées/"));  // blanks and accents are fine
}

// A file the start could not read keeps what it holds: the empty list that stands in for it
// is not written over it at exit, and the other files still load and save.
TEST_F(StartUpTest, FilesThatCannotBeReadAreReportedAndPreferencesNotOverwrittenAtExit) {
    std::filesystem::create_directory(path("liste.mac"));
    std::filesystem::create_directory(path("wol.followup"));
    writeLines("vtl.ini", {"pdc=\\\\PDC", "datapath=/ailleurs/"});
    writeLines("liste.ip", {"PC1 10.0.0.1"});
    const StartUpOutcome outcome = loadSharedState(state, services(), window, false);
    EXPECT_EQ(outcome.failures, (Lines{"Impossible d'ouvrir le fichier liste.mac",
                                       "Impossible d'ouvrir le fichier wol.followup"}));
    EXPECT_FALSE(outcome.preferencesUnread);
    EXPECT_EQ(state.IpList, Lines{"PC1 10.0.0.1"});
    EXPECT_EQ(state.Prefs.pdc, "\\\\PDC");
    EXPECT_EQ(state.WolIncidents, Lines{kWolLogHeader});

    std::filesystem::remove(path("wol.followup"));
    StartUpOutcome unread;
    unread.preferencesUnread = true;
    state.DataDir = path("");
    writeLines("vtl.ini", {"pdc=\\\\KEEP"});
    EXPECT_TRUE(saveAtExit(state, files(), window, unread).empty());
    EXPECT_EQ(readLines("vtl.ini"), Lines{"pdc=\\\\KEEP"});
}

// A save cut short by a crash or a kill leaves its temporary beside the file; the next start
// removes it, unless it is so young that a write may be under way.
TEST_F(StartUpTest, TemporariesOfInterruptedSavesAreRemovedAtStart) {
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name : {".vtl.ini.vt-Ab12Cd", ".liste.mac.vt-xYz789", ".new.vt-123456",
                             ".vt-abcdef", ".keep.vt-12345", ".other", "plain.vt-123456"}) {
        writeBytes(name, "x");
        std::filesystem::last_write_time(path(name), old);
    }
    writeBytes(".young.vt-QwErTy", "x");
    start();
    for (const char* gone : {".vtl.ini.vt-Ab12Cd", ".liste.mac.vt-xYz789", ".new.vt-123456"}) {
        EXPECT_FALSE(fileExists(gone)) << gone;
    }
    for (const char* kept :
         {".vt-abcdef", ".keep.vt-12345", ".other", "plain.vt-123456", ".young.vt-QwErTy"}) {
        EXPECT_TRUE(fileExists(kept)) << kept;
    }
}

class DriveCCleanUpTest : public test::TempDirTest {
protected:
    void put(const std::string& name) { writeBytes("drive_c/" + name, "x"); }
    bool present(const std::string& name) const { return fileExists("drive_c/" + name); }
};

TEST_F(DriveCCleanUpTest, RemovesFinishedJobLeftoversOnly) {
    // Ping job 5 finished unread, NET VIEW job 6 finished, job 8 still running.
    for (const char* name :
         {"5.mark",     "ping5.bat",     "ping5.txt", "6.mark",       "8.mark",     "PING12.TXT",
          "13.MARK",    "notes.txt",     "ping.txt",  "pingx5.txt",   "5.mark.txt", "ping5.doc",
          ".mark",      "x5.mark",       "-1.mark",   "netview6.txt", ".7.mark",    "ping5.bat.bak",
          "40000.mark", "ping40000.txt", "99999.mark"}) {
        put(name);
    }
    ASSERT_TRUE(files().setReadOnly("c:\\8.mark", true));
    writeBytes("drive_c/42.mark/keep", "");  // a directory with a marker's name
    // The program cleans its own numbers: the service's job 40000 may still be read.
    cleanDriveCAtExit(files(), 0, 32767);
    for (const char* gone :
         {"5.mark", "ping5.bat", "ping5.txt", "6.mark", "PING12.TXT", "13.MARK"}) {
        EXPECT_FALSE(present(gone)) << gone;
    }
    for (const char* kept :
         {"8.mark", "notes.txt", "ping.txt", "pingx5.txt", "5.mark.txt", "ping5.doc", ".mark",
          "x5.mark", "-1.mark", "netview6.txt", ".7.mark", "ping5.bat.bak", "42.mark/keep",
          "40000.mark", "ping40000.txt", "99999.mark"}) {
        EXPECT_TRUE(present(kept)) << kept;
    }
    EXPECT_EQ(files().isReadOnly("c:\\8.mark"), std::optional<bool>(true));
}

TEST_F(DriveCCleanUpTest, MissingDriveDoesNothing) {
    std::filesystem::remove_all(driveC());
    EXPECT_NO_THROW(cleanDriveCAtExit(files()));
}

}  // namespace
}  // namespace vt
