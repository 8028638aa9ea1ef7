#include "power/power_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "core/batch_arguments.h"
#include "core/file_error.h"
#include "core/names.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

class PowerCommandsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.GroupList = {"G1", "Autres"};
        state.WolTargetIp = "10.0.0.255";
        // The shutdown tool's account, so that a shutdown says nothing of a missing one.
        files().writePrivateFile(path("smb.auth"), "username=u\npassword=p\n");
        account.emplace("VANTOREL_SMB_AUTH", path("smb.auth").c_str());
        commands = std::make_unique<PowerCommands>(state, services());
    }

    std::optional<test::ScopedEnvironment> account;
    test::ScopedEnvironment noTicket{"KRB5CCNAME", "FILE:/nonexistent/vt-no-ticket"};
    std::unique_ptr<PowerCommands> commands;
};

TEST_F(PowerCommandsTest, ShutdownWithoutAUsableAccountSaysWhatToDoInOneLine) {
    const Lines machines{"PC1", "PC2", "PC3"};
    writeLines("G1", machines);
    std::filesystem::remove(path("smb.auth"));
    commands->Shutdown("G1");
    ASSERT_EQ(console.lines.size(), machines.size() + 1);
    EXPECT_EQ(console.lines.back(),
              "Arrêt à distance sans compte : saisir le « Compte pour l'arrêt à distance » dans "
              "Edition > Préférences (fichier " +
                  path("smb.auth") + ")");
    // A room with no machine shuts nothing down: nothing to say.
    writeLines("G1", {});
    console.lines.clear();
    commands->Shutdown("G1");
    EXPECT_EQ(console.lines, Lines{});
}

TEST_F(PowerCommandsTest, PowerUpWritesCdAndOneWolcmdLinePerMachineWithAMac) {
    writeLines("G1", {"PC1", "PC2"});
    state.MacList = {"PC1 00-11-22-33-44-55"};
    state.IpList = {"PC1 10.0.0.21"};
    clock.setDate(2026, 12, 6);
    clock.set(7, 35, 20);

    commands->PowerUp("G1");

    const std::string wol = "wolcmd 00-11-22-33-44-55 10.0.0.21 255.255.255.0";
    EXPECT_EQ(readBytes("powerupG1.bat"), "cd " + state.DataDir + "\r\n" + wol + "\r\n");
    EXPECT_EQ(console.lines,
              (Lines{"commande lancée : " + wol, "wake-on-lan : pas d'adresse MAC pour PC2"}));
    EXPECT_EQ(state.WolIncidents,
              Lines{"06/12/2026;07:35:20;PC2;ne s'est pas mis en marche;adresse MAC inconnue;"});
    EXPECT_EQ(state.Prefs.masque, "255.255.255.0");
    EXPECT_EQ(processes.started, Lines{state.DataDir + "powerupG1.bat"});
    ASSERT_EQ(timers.activeCount(), 1u);
    EXPECT_EQ(timers.intervalOf(timers.activeTimers()[0]), 300000ms);
}

TEST_F(PowerCommandsTest, PowerUpUsesTheSetMaskAndTheTargetForUnlistedAddresses) {
    writeLines("G1", {"PC1"});
    state.MacList = {"PC1 001122334455"};
    state.Prefs.masque = "255.255.0.0";
    commands->PowerUp("G1");
    EXPECT_EQ(readLines("powerupG1.bat")[1], "wolcmd 001122334455 10.0.0.255 255.255.0.0");
    EXPECT_EQ(state.Prefs.masque, "255.255.0.0");
}

TEST_F(PowerCommandsTest, MaskStaysEmptyWhenNoMachineHasAMac) {
    writeLines("G1", {"PC1", "PC2"});
    state.MacList = {"PC07 00-11-22-33-44-55"};
    commands->PowerUp("G1");
    EXPECT_EQ(readLines("powerupG1.bat"), Lines{"cd " + state.DataDir});
    EXPECT_EQ(state.Prefs.masque, "");
    EXPECT_EQ(state.WolIncidents.size(), 2u);
    EXPECT_EQ(timers.activeCount(), 1u);
}

// The mark means "never shut down", nothing more: a marked machine is woken like any other,
// its addresses found under its plain name first, then under the line as written.
TEST_F(PowerCommandsTest, MarkedMachinesAreWokenUnderTheirPlainName) {
    writeLines("G1", {"PC07*", "PC08*", "PC09*"});
    state.MacList = {"PC07 00-11-22-33-44-07", "PC08* 00-11-22-33-44-08"};
    state.IpList = {"pc07 10.0.0.7", "PC08* 10.0.0.8"};
    commands->PowerUp("G1");
    EXPECT_EQ(readLines("powerupG1.bat"),
              (Lines{"cd " + state.DataDir, "wolcmd 00-11-22-33-44-07 10.0.0.7 255.255.255.0",
                     "wolcmd 00-11-22-33-44-08 10.0.0.8 255.255.255.0"}));
    EXPECT_EQ(console.lines.back(), "wake-on-lan : pas d'adresse MAC pour PC09*");
    ASSERT_EQ(state.WolIncidents.size(), 1u);
    EXPECT_NE(state.WolIncidents[0].find(";PC09*;"), std::string::npos);
}

TEST_F(PowerCommandsTest, UnreadableGroupFileStopsBeforeAnythingIsWritten) {
    EXPECT_THROW(commands->PowerUp("G1"), FileError);
    EXPECT_THROW(commands->Shutdown("G1"), FileError);
    EXPECT_FALSE(fileExists("powerupG1.bat"));
    EXPECT_FALSE(fileExists("shutdnG1.bat"));
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_EQ(state.Prefs.shutdown_wait, 0);
}

TEST_F(PowerCommandsTest, GroupNameThatIsNoFileNameIsRefused) {
    writeLines("G1", {"PC1"});
    EXPECT_THROW(commands->PowerUp("../G1"), FileError);
    EXPECT_THROW(commands->Shutdown("x\\..\\G1"), FileError);
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(PowerCommandsTest, ShutdownDefaultsAreSetAndWritten) {
    writeLines("G1", {"PC12"});
    commands->Shutdown("G1");
    const std::string command = "shutdown -s -f -t 1 -c \"bye!\" -m \\\\PC12";
    EXPECT_EQ(readBytes("shutdnG1.bat"), command + "\r\n");
    EXPECT_EQ(console.lines, Lines{command});
    EXPECT_EQ(state.Prefs.shutdown_wait, 1);
    EXPECT_EQ(state.Prefs.shutdown_comment, "bye!");
    EXPECT_EQ(processes.started, Lines{state.DataDir + "shutdnG1.bat"});
    ASSERT_EQ(timers.activeCount(), 1u);
    EXPECT_EQ(timers.intervalOf(timers.activeTimers()[0]), 400000ms);
}

TEST_F(PowerCommandsTest, ShutdownKeepsTheMarkAndQuotesTheCommentInWindows1252) {
    writeLines("G1", {"PC07*", "PC08"});
    state.Prefs.shutdown_wait = 30;
    // A "%" would be expanded by the interpreter, a trailing backslash would escape the
    // closing quote: both go, as the quotes do.
    state.Prefs.shutdown_comment = "Arrêt \"immédiat\" à 100% de la salle c:\\\\";
    commands->Shutdown("G1");
    const std::string options =
        "shutdown -s -f -t 30 -c \"Arr\xEAt imm\xE9"
        "diat \xE0 100 de la salle c:\" -m \\\\";
    EXPECT_EQ(readBytes("shutdnG1.bat"), options + "PC07*\r\n" + options + "PC08\r\n");
    EXPECT_EQ(state.Prefs.shutdown_comment, "Arrêt \"immédiat\" à 100% de la salle c:\\\\");
}

TEST_F(PowerCommandsTest, EmptyGroupGivesAnEmptyShutdownBatchThatStillRuns) {
    writeLines("G1", {});
    commands->Shutdown("G1");
    EXPECT_EQ(readBytes("shutdnG1.bat"), "");
    EXPECT_EQ(processes.started.size(), 1u);
    EXPECT_EQ(timers.activeCount(), 1u);
}

TEST_F(PowerCommandsTest, BlankLinesNameNoMachine) {
    writeLines("G1", {"", "  ", "PC1"});
    state.MacList = {"PC9 00-11-22-33-44-99", "PC1 00-11-22-33-44-55"};
    commands->PowerUp("G1");
    commands->Shutdown("G1");
    EXPECT_EQ(readLines("powerupG1.bat").size(), 2u);
    EXPECT_EQ(readLines("powerupG1.bat")[1], "wolcmd 00-11-22-33-44-55 10.0.0.255 255.255.255.0");
    EXPECT_EQ(readLines("shutdnG1.bat").size(), 1u);
    EXPECT_TRUE(state.WolIncidents.empty());
}

TEST_F(PowerCommandsTest, MachineNamesThatAreNoUsableNamesAreRefusedByBothCommands) {
    const std::string syntax = " (caractère réservé aux lignes de commande)";
    const std::string path = " (nom de fichier ou chemin)";
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"PC1&del", syntax},
        {"PC1|x", syntax},
        {"PC1>x", syntax},
        {"PC1<x", syntax},
        {"PC1^x", syntax},
        {"PC%PATH%", syntax},
        {"PC\"1", syntax},
        {"-r", syntax},
        {"PC1 -r", syntax},
        {"/r", path},
        {"PC\x01"
         "1",
         path},
        {"PC1\x7f", path},
        {"../../../secret.txt", path},
        {"C:\\Windows", path},
        {std::string(300, 'N'), " (plus de 255 caractères)"}};
    Lines file;
    for (const auto& [name, reason] : refused) {
        file.push_back(name);
        state.MacList.push_back(name + " 00-11-22-33-44-55");
    }
    file.push_back("PC-RÉSEAU");
    state.MacList.push_back("PC-RÉSEAU 00-11-22-33-44-66");
    writeLines("G1", file);

    commands->Shutdown("G1");
    EXPECT_EQ(readLines("shutdnG1.bat"), Lines{"shutdown -s -f -t 1 -c \"bye!\" -m \\\\PC-RÉSEAU"});
    ASSERT_EQ(console.lines.size(), refused.size() + 1);
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(console.lines[i],
                  "commande refusée : " + shownName(refused[i].first) + refused[i].second);
    }

    console.lines.clear();
    commands->PowerUp("G1");
    EXPECT_EQ(readLines("powerupG1.bat").size(), 2u);  // "cd" and PC-RÉSEAU's wolcmd line
    ASSERT_EQ(state.WolIncidents.size(), refused.size());
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(console.lines[i],
                  "commande refusée : " + shownName(refused[i].first) + refused[i].second);
        EXPECT_NE(state.WolIncidents[i].find(";ne s'est pas mis en marche;adresse MAC inconnue;"),
                  std::string::npos);
    }
}

TEST_F(PowerCommandsTest, MacOrAddressThatWouldChangeTheWolcmdLineIsRefused) {
    writeLines("G1", {"PC1", "PC2", "PC3"});
    state.MacList = {"PC1 00-11-22-33-44-55&calc", "PC2 00-11-22-33-44-66",
                     "PC3 00-11-22-33-44-77"};
    state.IpList = {"PC2 10.0.0.22 & calc", "PC3 10.0.0.23"};
    commands->PowerUp("G1");
    EXPECT_EQ(readLines("powerupG1.bat"),
              (Lines{"cd " + state.DataDir, "wolcmd 00-11-22-33-44-77 10.0.0.23 255.255.255.0"}));
    EXPECT_EQ(console.lines[0], "commande refusée : PC1");
    EXPECT_EQ(console.lines[1], "commande refusée : PC2");
    // Only the machine without a real MAC address is an incident.
    ASSERT_EQ(state.WolIncidents.size(), 1u);
    EXPECT_NE(state.WolIncidents[0].find(";PC1;ne s'est pas mis en marche;adresse MAC inconnue;"),
              std::string::npos);
}

TEST_F(PowerCommandsTest, FollowUpsCarryTheGroupAndAreNotLimitedTo256) {
    Lines powerUps;
    Lines shutdowns;
    const auto record = [](Lines& into) {
        return [&into](const std::string& group, const FollowUpScope&) { into.push_back(group); };
    };
    commands->setPowerUpFollowUp(record(powerUps));
    commands->setShutdownFollowUp(record(shutdowns));
    for (int i = 0; i < 300; ++i) {
        writeLines("G" + std::to_string(i), {"PC1"});
        commands->PowerUp("G" + std::to_string(i));
    }
    // A newer command of G0 takes the place of its check.
    commands->Shutdown("g0");
    EXPECT_EQ(commands->pendingFollowUps(), 300u);
    timers.advance(299999ms);
    EXPECT_TRUE(powerUps.empty());
    timers.advance(1ms);
    EXPECT_EQ(powerUps.size(), 299u);
    EXPECT_EQ(powerUps.front(), "G1");
    EXPECT_TRUE(shutdowns.empty());
    timers.advance(100000ms);
    EXPECT_EQ(shutdowns, Lines{"g0"});
    EXPECT_EQ(commands->pendingFollowUps(), 0u);
}

TEST_F(PowerCommandsTest, FollowUpWithoutHandlerDoesNothingAndEndsWithItsOwner) {
    writeLines("G1", {"PC1"});
    commands->PowerUp("G1");
    timers.advance(300000ms);
    EXPECT_EQ(commands->pendingFollowUps(), 0u);
    commands->Shutdown("G1");
    EXPECT_EQ(timers.activeCount(), 1u);
    commands.reset();
    EXPECT_EQ(timers.activeCount(), 0u);
}

TEST_F(PowerCommandsTest, BatchPathPastTheCommandLimitIsNotStarted) {
    const std::string deep = std::string(120, 'a') + "/" + std::string(120, 'b');
    ASSERT_TRUE(files().createDirectories(path(deep)));
    state.DataDir = path(deep) + "/";
    writeLines("G1", {"PC1"});
    commands->Shutdown("G1");
    EXPECT_TRUE(files().exists(state.DataDir + "shutdnG1.bat"));
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(timers.activeCount(), 1u);
}

// Only a MAC text that would change the batch line is refused; wolcmd accepts or reports the
// other layouts itself.
TEST_F(PowerCommandsTest, MacTextsAreRefusedOnlyWhenTheyWouldChangeTheLine) {
    const std::vector<std::pair<std::string, bool>> macs = {{"00.1A.2B.3C.4D.5E", true},
                                                            {"0:1a:2b:3c:4d:5e", true},
                                                            {"001122334455", true},
                                                            {"00-11-22-33-44-5G", true},
                                                            {"00 11 22 33 44 55", false},
                                                            {"00-11&calc", false},
                                                            {"-r", false},
                                                            {"%MAC%", false},
                                                            {"00-11\"x", false}};
    Lines machines;
    for (std::size_t i = 0; i < macs.size(); ++i) {
        machines.push_back("PC" + std::to_string(i));
        state.MacList.push_back(machines.back() + " " + macs[i].first);
    }
    writeLines("G1", machines);
    commands->PowerUp("G1");
    Lines expected{"cd " + state.DataDir};
    for (const auto& [mac, accepted] : macs) {
        if (accepted) {
            expected.push_back("wolcmd " + mac + " 10.0.0.255 255.255.255.0");
        }
    }
    EXPECT_EQ(readLines("powerupG1.bat"), expected);
    EXPECT_EQ(state.WolIncidents.size(), 5u);
}

}  // namespace
}  // namespace vt::power
