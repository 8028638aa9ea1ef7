#include "core/preferences.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

class PreferencesTest : public test::TempDirTest {
protected:
    void load(const std::vector<std::string>& lines) {
        writeLines("vtl.ini", lines);
        LoadPreferences(state, files(), window);
    }
    WindowGeometry window;
};

TEST_F(PreferencesTest, MissingFileCreatesAnEmptyOneAndKeepsEveryValue) {
    state.Prefs.esu = "false";
    state.Prefs.cheight = 5;
    LoadPreferences(state, files(), window);
    EXPECT_EQ(readBytes("vtl.ini"), "");
    EXPECT_EQ(state.Prefs.esu, "false");
    EXPECT_EQ(state.Prefs.cheight, 5);
    EXPECT_EQ(window.left, 195);
    EXPECT_EQ(window.top, 71);
    EXPECT_EQ(window.height, 698);
}

TEST_F(PreferencesTest, OnlyEsuTrueGivesDefaultsEverywhereElse) {
    state.Prefs.esu = "false";
    state.Prefs.shutdown_wait = 3;
    load({"esu=true"});
    EXPECT_EQ(state.Prefs.esu, "true");
    EXPECT_EQ(state.Prefs.pdc, "");
    EXPECT_EQ(state.Prefs.ip, "");
    EXPECT_EQ(state.Prefs.ipr_login, "");
    EXPECT_EQ(state.Prefs.cheight, 310);
    EXPECT_EQ(state.Prefs.cleft, 195 + 685);
    EXPECT_EQ(state.Prefs.ctop, 71);
    EXPECT_EQ(state.Prefs.shutdown_wait, 3);  // changes only when it parses
    EXPECT_EQ(window.left, 195);
    EXPECT_EQ(window.top, 71);
    EXPECT_EQ(window.height, 698);
}

TEST_F(PreferencesTest, AbsentEsuTurnsTheStartUpFalseIntoEmpty) {
    state.Prefs.esu = "false";
    load({"pdc=\\\\SRV"});
    EXPECT_EQ(state.Prefs.esu, "");
    EXPECT_EQ(state.Prefs.pdc, "\\\\SRV");
}

TEST_F(PreferencesTest, ReadsEveryKeyInAnyOrderAndIgnoresOtherLines) {
    load({"ipr_login=root",
          "# comment",
          "unknown=1",
          "ocs_server=ocs.local",
          "ocs_pwd=p=w",
          "ocs_login=adm",
          "offset=$1E",
          "shutdown_comment=Fin des cours",
          "shutdown_wait=30",
          "cheight=400",
          "ctop=-5",
          "cleft=900",
          "height=600",
          "top=20",
          "left=10",
          "masque=255.255.0.0",
          "ip=10.0.0.255",
          "esu=true",
          "pdc=\\\\PDC",
          "no equal sign",
          "ipr_url=http://r/dhcp",
          "datapath="});
    const Preferences& p = state.Prefs;
    EXPECT_EQ(p.pdc, "\\\\PDC");
    EXPECT_EQ(p.esu, "true");
    EXPECT_EQ(p.ip, "10.0.0.255");
    EXPECT_EQ(p.masque, "255.255.0.0");
    EXPECT_EQ(window.left, 10);
    EXPECT_EQ(window.top, 20);
    EXPECT_EQ(window.height, 600);
    EXPECT_EQ(p.cleft, 900);
    EXPECT_EQ(p.ctop, -5);
    EXPECT_EQ(p.cheight, 400);
    EXPECT_EQ(p.shutdown_wait, 30);
    EXPECT_EQ(p.shutdown_comment, "Fin des cours");
    EXPECT_EQ(p.offset, 30);
    EXPECT_EQ(p.ocs_login, "adm");
    EXPECT_EQ(p.ocs_pwd, "p=w");  // the value runs to the end of the line
    EXPECT_EQ(p.ocs_server, "ocs.local");
    EXPECT_EQ(p.ipr_url, "http://r/dhcp");
    EXPECT_EQ(p.ipr_login, "root");
    EXPECT_EQ(state.DataDir, path(""));  // empty datapath keeps the directory
}

TEST_F(PreferencesTest, KeysCompareWithoutCaseAndTheFirstOccurrenceWins) {
    load({"PDC=\\\\UPPER", "pdc=\\\\lower", "Shutdown_Wait=12", "shutdown_wait=99"});
    EXPECT_EQ(state.Prefs.pdc, "\\\\UPPER");
    EXPECT_EQ(state.Prefs.shutdown_wait, 12);
}

TEST_F(PreferencesTest, BlankBeforeTheEqualSignDefinesNothing) {
    load({"pdc =\\\\SRV", "left =5", "ip= 10.0.0.1 "});
    EXPECT_EQ(state.Prefs.pdc, "");
    EXPECT_EQ(window.left, 195);
    EXPECT_EQ(state.Prefs.ip, " 10.0.0.1 ");  // values are not trimmed
}

TEST_F(PreferencesTest, UnparsableIntegersKeepOrDefault) {
    state.Prefs.offset = 4;
    state.Prefs.shutdown_wait = 7;
    load({"left=abc", "top=12x", "height=", "cleft=gauche", "ctop=?", "cheight=1e3",
          "shutdown_wait=vite", "offset=99999999999"});
    EXPECT_EQ(window.left, 195);
    EXPECT_EQ(window.top, 71);
    EXPECT_EQ(window.height, 698);
    EXPECT_EQ(state.Prefs.cleft, 195 + 685);
    EXPECT_EQ(state.Prefs.ctop, 71);
    EXPECT_EQ(state.Prefs.cheight, 310);
    EXPECT_EQ(state.Prefs.shutdown_wait, 7);
    EXPECT_EQ(state.Prefs.offset, 4);
}

TEST_F(PreferencesTest, ConsoleDefaultFollowsTheWindowJustPlaced) {
    load({"left=  100", "top=-20"});
    EXPECT_EQ(state.Prefs.cleft, 100 + 685);
    EXPECT_EQ(state.Prefs.ctop, -20);
    load({"left=2147483647"});  // the right edge wraps instead of overflowing
    EXPECT_EQ(state.Prefs.cleft, -2147483647 - 1 + 684);
}

TEST_F(PreferencesTest, DatapathReplacesTheDataDirectoryAsTyped) {
    writeBytes("other/keep", "");
    load({"datapath=" + path("other")});
    EXPECT_EQ(state.DataDir, path("other"));  // no separator added
    EXPECT_EQ(state.Prefs.datapath, path("other"));
    SavePreferences(state, files(), window);
    // Names are appended directly: the file lands beside the folder, not in it.
    EXPECT_TRUE(fileExists("othervtl.ini"));
    EXPECT_FALSE(fileExists("other/vtl.ini"));
}

TEST_F(PreferencesTest, SavesExactlyNineteenLinesInTheFixedOrder) {
    load({"extra=lost", "masque=", "pdc=\\\\PDC", "esu=true", "datapath=", "ip=10.1.2.255",
          "shutdown_comment=Arrêt", "ocs_pwd=s3cr=t"});
    window.left = -3;
    window.top = 40;
    window.height = 500;
    state.Prefs.masque = "255.255.255.0";  // set in memory by a power-up
    state.Prefs.cleft = 1000;
    state.Prefs.ctop = 2;
    state.Prefs.cheight = 310;
    state.Prefs.shutdown_wait = 1;
    state.Prefs.offset = -15;
    state.WolTargetIp = "192.168.0.9";  // the effective target is not saved
    SavePreferences(state, files(), window);
    EXPECT_EQ(readBytes("vtl.ini"),
              "pdc=\\\\PDC\r\nesu=true\r\ndatapath=\r\nip=10.1.2.255\r\n"
              "masque=255.255.255.0\r\nleft=-3\r\ntop=40\r\nheight=500\r\ncleft=1000\r\n"
              "ctop=2\r\ncheight=310\r\nshutdown_wait=1\r\nshutdown_comment=Arr\xEAt\r\n"
              "offset=-15\r\nocs_login=\r\nocs_pwd=s3cr=t\r\nocs_server=\r\nipr_url=\r\n"
              "ipr_login=\r\nzone_vacances=\r\npas_allumage_feries=0\r\npuissance_poste=60\r\n"
              "prix_kwh=0,25\r\n");
    EXPECT_EQ(preferencesFileLines(state, window).size(), 23u);
}

TEST_F(PreferencesTest, SaveAndLoadGiveBackTheSameValues) {
    state.Prefs.pdc = "\\\\PDC";
    state.Prefs.shutdown_comment = "L'ordinateur va s'éteindre";
    state.Prefs.cleft = -2147483647 - 1;
    state.Prefs.zone_vacances = "B";
    state.Prefs.pas_allumage_feries = true;
    state.Prefs.puissance_poste = 45;
    state.Prefs.prix_kwh = 0.1952;
    window.left = 2147483647;
    SavePreferences(state, files(), window);
    VtlVar reloaded;
    reloaded.DataDir = state.DataDir;
    WindowGeometry other;
    LoadPreferences(reloaded, files(), other);
    EXPECT_EQ(reloaded.Prefs.pdc, state.Prefs.pdc);
    EXPECT_EQ(reloaded.Prefs.shutdown_comment, state.Prefs.shutdown_comment);
    EXPECT_EQ(reloaded.Prefs.cleft, state.Prefs.cleft);
    EXPECT_EQ(reloaded.Prefs.zone_vacances, "B");
    EXPECT_TRUE(reloaded.Prefs.pas_allumage_feries);
    EXPECT_EQ(reloaded.Prefs.puissance_poste, 45);
    EXPECT_DOUBLE_EQ(reloaded.Prefs.prix_kwh, 0.1952);
    EXPECT_EQ(other.left, window.left);
}

// It keeps a password: saved over a file open to everyone, it becomes its owner's alone.
TEST_F(PreferencesTest, FileIsReadableByItsOwnerOnly) {
    writeBytes("vtl.ini", "ocs_pwd=\r\n");
    ASSERT_EQ(::chmod(path("vtl.ini").c_str(), 0644), 0);
    SavePreferences(state, files(), window);
    struct stat info {};
    ASSERT_EQ(::stat(path("vtl.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(PreferencesTest, SaveIntoAReadOnlyFileIsAFileError) {
    writeBytes("vtl.ini", "pdc=x\r\n");
    ASSERT_TRUE(files().setReadOnly(path("vtl.ini"), true));
    EXPECT_THROW(SavePreferences(state, files(), window), FileError);
    EXPECT_EQ(readBytes("vtl.ini"), "pdc=x\r\n");
}

TEST_F(PreferencesTest, RandomBytesAndHugeLinesDoNotCrash) {
    std::string bytes;
    unsigned seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes += static_cast<char>(seed >> 16);
    }
    bytes += "\r\npdc=" + std::string(3'000'000, 'A') + "\r\nleft=" + std::string(100000, '9');
    writeBytes("vtl.ini", bytes);
    LoadPreferences(state, files(), window);
    EXPECT_EQ(window.left, 195);
    EXPECT_EQ(state.Prefs.pdc.size(), 3'000'000u);
    SavePreferences(state, files(), window);
    EXPECT_EQ(readLines("vtl.ini").size(), 23u);
}

TEST_F(PreferencesTest, EffectiveTargetIsThePreferenceElseTheFirstInterface) {
    state.LocalAddresses = {"192.168.1.5", "10.0.0.2"};
    state.LocalMasks = {"255.255.255.0", "255.0.0.0"};
    setEffectiveWolTarget(state);
    EXPECT_EQ(state.WolTargetIp, "192.168.1.5");
    EXPECT_EQ(state.WolTargetMask, "255.255.255.0");

    state.Prefs.ip = "10.1.2.255";
    setEffectiveWolTarget(state);
    EXPECT_EQ(state.WolTargetIp, "10.1.2.255");
    EXPECT_EQ(state.WolTargetMask, "255.255.255.0");

    state.LocalAddresses.clear();
    state.LocalMasks.clear();
    state.Prefs.ip.clear();
    setEffectiveWolTarget(state);
    EXPECT_EQ(state.WolTargetIp, "");
    EXPECT_EQ(state.WolTargetMask, "");
}

TEST_F(PreferencesTest, LocalAddressesAreRefilledInPairsWithLoopbackLast) {
    state.LocalAddresses = {"stale"};
    state.LocalMasks = {"stale", "stale"};
    ReadLocalAddresses(state, realPlatform().network);
    ASSERT_EQ(state.LocalAddresses.size(), state.LocalMasks.size());
    ASSERT_FALSE(state.LocalAddresses.empty());
    EXPECT_EQ(state.LocalAddresses.back(), "127.0.0.1");
    EXPECT_EQ(state.LocalMasks.back(), "255.0.0.0");
}

}  // namespace
}  // namespace vt
