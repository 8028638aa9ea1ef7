// The inventory export tools without a database: the field and address rules on their own,
// and the tools run as programs against bad arguments, a closed port and a server that never
// answers. Whatever fails, an earlier export stays byte for byte.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/tcp_listener.h"
#include "tests/support/temp_dir_test.h"
#include "tools/inventory/database_errors.h"
#include "tools/inventory/export_layout.h"
#include "tools/inventory/server_address.h"

namespace vt::test {
namespace {

struct FieldCase {
    std::string value;
    std::string field;
};

class ExportFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ExportFieldTest, KeepsTheRecordOnOneLineAndTheFieldsInPlace) {
    EXPECT_EQ(inventory::exportField(GetParam().value), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ExportFieldTest,
    ::testing::Values(
        FieldCase{"", ""}, FieldCase{"Mozilla Firefox", "Mozilla Firefox"},
        FieldCase{"C++ 2008; x64", "C++ 2008, x64"}, FieldCase{";;", ",,"},
        FieldCase{"ligne 1\r\nligne 2", "ligne 1 ligne 2"}, FieldCase{"a\nb\rc", "a b c"},
        FieldCase{"a\r\r\nb", "a  b"}, FieldCase{"fin\r\n", "fin "},
        FieldCase{"\xC3\xA9l\xC3\xA8ve", "\xC3\xA9l\xC3\xA8ve"},
        FieldCase{std::string("nul\0ici", 7), "nul ici"}, FieldCase{std::string("\0\0", 2), "  "},
        FieldCase{"a\tb\x1B[2Jc\x7F\x1F;", "a b [2Jc  ,"}, FieldCase{"\x01\r\n\x02", "   "}));

struct AddressCase {
    std::string text;
    std::optional<std::string> host;
    unsigned port = 0;
};

class ServerAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ServerAddressTest, ReadsHostAndPort) {
    const std::optional<inventory::ServerAddress> address =
        inventory::parseServerAddress(GetParam().text);
    ASSERT_EQ(address.has_value(), GetParam().host.has_value()) << GetParam().text;
    if (address) {
        EXPECT_EQ(address->host, *GetParam().host);
        EXPECT_EQ(address->port, GetParam().port);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ServerAddressTest,
    ::testing::Values(
        AddressCase{"ocs.college.lan", "ocs.college.lan", 3306},
        AddressCase{"10.0.0.5:3307", "10.0.0.5", 3307},
        AddressCase{"10.0.0.5:65535", "10.0.0.5", 65535}, AddressCase{"fe80::1", "fe80::1", 3306},
        AddressCase{"[fe80::1]", "fe80::1", 3306}, AddressCase{"[fe80::1]:3310", "fe80::1", 3310},
        AddressCase{"", std::nullopt}, AddressCase{":3306", std::nullopt},
        AddressCase{"10.0.0.5:", std::nullopt}, AddressCase{"10.0.0.5:0", std::nullopt},
        AddressCase{"10.0.0.5:65536", std::nullopt}, AddressCase{"10.0.0.5:33o6", std::nullopt},
        AddressCase{"[fe80::1", std::nullopt}, AddressCase{"[fe80::1]3310", std::nullopt},
        AddressCase{"[]:3306", std::nullopt}));

struct CauseCase {
    unsigned code;
    inventory::DatabaseStep step;
    std::string cause;
};

class FailureCauseTest : public ::testing::TestWithParam<CauseCase> {};

// Only the code is read: the server's English text never reaches the line.
TEST_P(FailureCauseTest, IsFrenchAndNamesWhatFailed) {
    const inventory::FailureNames names{"ocs.lan:3307", "{table}", "ocsweb", "hardware"};
    EXPECT_EQ(inventory::failureCause(GetParam().code, GetParam().step, names), GetParam().cause);
}

constexpr auto kConnecting = inventory::DatabaseStep::Connecting;
constexpr auto kReading = inventory::DatabaseStep::Reading;

// The login "{table}" stays as typed: the names are put in once, never read as marks.
INSTANTIATE_TEST_SUITE_P(
    Codes, FailureCauseTest,
    ::testing::Values(
        CauseCase{1045, kConnecting,
                  "accès refusé par le serveur d'inventaire ocs.lan:3307 : utilisateur {table} "
                  "inconnu ou mot de passe incorrect"},
        CauseCase{1044, kConnecting, "accès à la base ocsweb refusé à l'utilisateur {table}"},
        CauseCase{1049, kConnecting, "base ocsweb absente du serveur d'inventaire ocs.lan:3307"},
        CauseCase{1146, kReading, "table hardware absente de la base ocsweb"},
        CauseCase{2002, kConnecting, "serveur d'inventaire ocs.lan:3307 injoignable"},
        CauseCase{2005, kConnecting,
                  "serveur d'inventaire ocs.lan:3307 inconnu : aucune adresse ne porte ce nom"},
        CauseCase{2013, kConnecting, "le serveur d'inventaire ocs.lan:3307 ne répond pas"},
        CauseCase{2013, kReading,
                  "connexion perdue avec le serveur d'inventaire ocs.lan:3307 pendant la "
                  "lecture de la table hardware"},
        CauseCase{1927, kConnecting,
                  "connexion interrompue par le serveur d'inventaire ocs.lan:3307"},
        CauseCase{1234, kConnecting, "erreur du serveur d'inventaire ocs.lan:3307 (code 1234)"},
        CauseCase{1234, kReading,
                  "erreur du serveur d'inventaire ocs.lan:3307 (code 1234) pendant la lecture "
                  "de la table hardware"}));

// An export written earlier, which no failure may touch.
constexpr std::string_view kEarlierExport = "12;PC07;ancien;\r\n";

class InventoryToolRunTest : public TempDirTest {
protected:
    // Runs the tool in the temporary folder beside an earlier export, expects it to fail and
    // to leave that export as it was; returns what it said.
    std::string failureOf(const std::string& tool, const std::string& file,
                          const std::vector<std::string>& arguments) {
        writeBytes(file, kEarlierExport);
        std::vector<std::string> command{binDir() + "/" + tool};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const ProgramResult run = runProgram(command, std::chrono::seconds(30));
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_EQ(readBytes(file), std::string(kEarlierExport));
        return run.standardError;
    }
};

struct UsageCase {
    std::vector<std::string> arguments;
};

class InventoryToolUsageTest : public InventoryToolRunTest,
                               public ::testing::WithParamInterface<UsageCase> {};

TEST_P(InventoryToolUsageTest, MissingArgumentsGiveTheUsageLine) {
    EXPECT_EQ(failureOf("vt_ocs_hardware", "hardware.ocs", GetParam().arguments),
              "usage : vt_ocs_hardware SERVEUR[:PORT] UTILISATEUR [MOT_DE_PASSE]\n");
    EXPECT_EQ(failureOf("vt_ocs_softwares", "softwares.ocs", GetParam().arguments),
              "usage : vt_ocs_softwares SERVEUR[:PORT] UTILISATEUR [MOT_DE_PASSE]\n");
}

// The main program joins empty preferences with blanks, so they arrive as missing arguments.
INSTANTIATE_TEST_SUITE_P(Arguments, InventoryToolUsageTest,
                         ::testing::Values(UsageCase{{}}, UsageCase{{"10.0.0.5"}},
                                           UsageCase{{"", "ocs"}}, UsageCase{{"10.0.0.5", ""}},
                                           UsageCase{{"", "ocs", "secret"}},
                                           UsageCase{{"10.0.0.5", "", "secret"}}));

TEST_F(InventoryToolRunTest, AnInvalidServerAddressIsNamed) {
    EXPECT_EQ(failureOf("vt_ocs_hardware", "hardware.ocs", {"10.0.0.5:99999", "ocs", "secret"}),
              "vt_ocs_hardware : adresse de serveur invalide : 10.0.0.5:99999 ; l'export "
              "précédent hardware.ocs est conservé\n");
}

TEST_F(InventoryToolRunTest, AClosedPortIsAnUnreachableServer) {
    const std::string server = "127.0.0.1:" + std::to_string(unusedLoopbackPort());
    const std::string said =
        failureOf("vt_ocs_softwares", "softwares.ocs", {server, "ocs", "motdepasse-secret"});
    EXPECT_EQ(said, "vt_ocs_softwares : serveur d'inventaire " + server +
                        " injoignable ; l'export précédent softwares.ocs est conservé\n");
}

TEST_F(InventoryToolRunTest, AServerThatNeverAnswersIsGivenUpWithinTheTimeOut) {
    const SilentTcpListener silent;
    ASSERT_TRUE(silent.valid());
    const std::string server = "127.0.0.1:" + std::to_string(silent.port());
    const auto began = std::chrono::steady_clock::now();
    const std::string said = failureOf("vt_ocs_hardware", "hardware.ocs", {server, "ocs", "x"});
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(said, "vt_ocs_hardware : le serveur d'inventaire " + server +
                        " ne répond pas ; l'export précédent hardware.ocs est conservé\n");
    EXPECT_LT(took, std::chrono::seconds(15));
}

}  // namespace
}  // namespace vt::test
