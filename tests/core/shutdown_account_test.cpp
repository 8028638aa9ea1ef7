#include "core/shutdown_account.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using Lines = std::vector<std::string>;

class ShutdownAccountTest : public test::TempDirTest {};

TEST_F(ShutdownAccountTest, SavedForItsOwnerOnlyInNetsFormatAndReadBack) {
    const ShutdownAccount account{"COLLEGE", "arret", "s3cret=é"};
    saveShutdownAccount(files(), path("smb.auth"), account);
    EXPECT_EQ(readBytes("smb.auth"), "username=arret\npassword=s3cret=é\ndomain=COLLEGE\n");
    struct stat info {};
    ASSERT_EQ(::stat(path("smb.auth").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const auto read = readShutdownAccount(files(), path("smb.auth"));
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tie(read->domain, read->user, read->password),
              std::tie(account.domain, account.user, account.password));

    // As net reads a file written by hand: keys in any case with blanks, values without their
    // leading blanks, CR kept, other lines ignored.
    writeBytes("hand.auth", "# compte\n Username = jean\nPASSWORD=  mot de passe\r\ndomain=\n");
    const auto byHand = readShutdownAccount(files(), path("hand.auth"));
    ASSERT_TRUE(byHand);
    EXPECT_EQ(byHand->user, "jean");
    EXPECT_EQ(byHand->password, "mot de passe\r");
    EXPECT_FALSE(readShutdownAccount(files(), path("absent.auth")));
}

TEST(ShutdownAccountRules, AnEmptyPasswordKeepsTheSavedOneAndUnwritableAccountsAreRefused) {
    const ShutdownAccount saved{"D", "old", "kept"};
    const ShutdownAccount kept = accountToSave({" COLLEGE ", " arret ", ""}, saved);
    EXPECT_EQ(std::tie(kept.domain, kept.user, kept.password),
              std::tie("COLLEGE", "arret", "kept"));
    EXPECT_EQ(accountToSave({"", "u", "new"}, saved).password, "new");
    EXPECT_EQ(accountToSave({"", "u", ""}, std::nullopt).password, "");

    const std::pair<ShutdownAccount, std::string> cases[] = {
        {{"", "u", "p"}, ""},
        {{"", "", "p"}, "le nom d'utilisateur manque"},
        {{"", "u", ""}, "le mot de passe manque"},
        {{"", "u", "p\nusername=root"}, "un champ contient un caractère de contrôle"},
        {{"D\t", "u", "p"}, "un champ contient un caractère de contrôle"},
        {{"", "u", " p"}, "le mot de passe ne peut pas commencer par un blanc"},
    };
    for (const auto& [account, refusal] : cases) {
        EXPECT_EQ(shutdownAccountRefusal(account), refusal) << account.password;
    }
}

TEST_F(ShutdownAccountTest, TrialMachineIsTheFirstThatMayBeShutDownInTheCurrentGroup) {
    writeLines("SALLE1", {"", "PC 1", "SALLE1-01*", " SALLE1-02 "});
    writeLines("CDI", {"CDI-01"});
    state.GroupList = {"CDI", "SALLE1"};
    EXPECT_EQ(trialMachine(state, files()), "CDI-01");  // no current group: the first
    state.CurrentGroup = "SALLE1";
    EXPECT_EQ(trialMachine(state, files()), "SALLE1-02");
    writeLines("SALLE1", {"SALLE1-01*"});
    EXPECT_FALSE(trialMachine(state, files()));
    state.CurrentGroup = "ABSENTE";
    EXPECT_FALSE(trialMachine(state, files()));
}

TEST(ShutdownAccountRules, TrialAnswerSaysWhatTheToolFoundForTheAccount) {
    const std::tuple<int, std::string, std::string> cases[] = {
        {0, "PC1 : annulation demandée\n", "PC1 : annulation demandée : le compte est accepté"},
        {1, "PC1 : accès refusé\n",
         "PC1 : accès refusé : compte ou mot de passe refusé, ou pas le droit d'arrêter ce poste"},
        {1, "PC1 : machine injoignable (pas de réponse à temps)\n",
         "PC1 : machine injoignable (pas de réponse à temps) : le compte n'a pas pu être essayé "
         "(poste éteint ?)"},
        {1, "PC1 : échec : NT_STATUS_X\n", "PC1 : échec : NT_STATUS_X"},
        {-1, "", "PC1 : pas de réponse de l'outil d'arrêt (code -1)"},
        {1, "PC2 : accès refusé\n", "PC1 : pas de réponse de l'outil d'arrêt (code 1)"},
    };
    for (const auto& [code, output, answer] : cases) {
        EXPECT_EQ(trialAnswer("PC1", code, output), answer) << output;
    }
}

}  // namespace
}  // namespace vt
