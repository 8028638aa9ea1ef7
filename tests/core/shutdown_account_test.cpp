#include "core/shutdown_account.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

class ShutdownAccountTest : public test::TempDirTest {};

TEST_F(ShutdownAccountTest, ReadAsNetReadsAFileWrittenByHand) {
    // Keys in any case with blanks, values without their leading blanks, CR kept.
    writeBytes("hand.auth", "# compte\n Username = jean\nPASSWORD=  mot de passe\r\ndomain=\n");
    const auto account = readShutdownAccount(files(), path("hand.auth"));
    ASSERT_TRUE(account);
    EXPECT_EQ(std::tie(account->user, account->password, account->domain),
              std::tie("jean", "mot de passe\r", ""));
    EXPECT_FALSE(readShutdownAccount(files(), path("absent.auth")));
}

TEST(ShutdownAccountRules, AnEmptyPasswordKeepsTheSavedOneAndUnwritableAccountsAreRefused) {
    const ShutdownAccount kept = accountToSave({" COLLEGE ", " arret ", ""}, {{"D", "u", "vu"}});
    EXPECT_EQ(std::tie(kept.domain, kept.user, kept.password), std::tie("COLLEGE", "arret", "vu"));
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

}  // namespace
}  // namespace vt
