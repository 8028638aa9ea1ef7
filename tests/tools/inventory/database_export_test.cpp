// The inventory export tools against a MariaDB server of the test's own, started once for the
// whole program: exports compared byte for byte with the fixtures, and every failure (refused
// login, expired or locked account, missing database, table or column, unwritable export)
// leaving the earlier export as it was with one French line that never shows the password.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fixture_files.h"
#include "tests/support/private_mariadb.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir_test.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

// Accounts of the inventory server: a reader of the whole database, one whose password holds
// blanks and accents, one that will read only the hardware table, one without any right, one
// whose password has expired and one locked by the administrator.
constexpr const char* kAccounts = R"(
CREATE USER 'ocs'@'%' IDENTIFIED BY 'ocs-secret';
GRANT SELECT ON ocsweb.* TO 'ocs'@'%';
CREATE USER 'prof'@'%' IDENTIFIED BY 'mot de passe élève';
GRANT SELECT ON ocsweb.* TO 'prof'@'%';
CREATE USER 'atelier'@'%' IDENTIFIED BY 'atelier-secret';
CREATE USER 'visiteur'@'%' IDENTIFIED BY 'visiteur-secret';
CREATE USER 'ancien'@'%' IDENTIFIED BY 'ancien-secret' PASSWORD EXPIRE;
GRANT SELECT ON ocsweb.* TO 'ancien'@'%';
CREATE USER 'parti'@'%' IDENTIFIED BY 'parti-secret' ACCOUNT LOCK;
GRANT SELECT ON ocsweb.* TO 'parti'@'%';
)";

// The fixture's records, inserted out of order, and one more machine and software with the
// values a record must survive: accents, a character Windows-1252 lacks, ";" and line breaks,
// NULL. The tables carry columns the exports leave out, some between the exported ones. The
// software table is Latin-1, so the server converts, and MyISAM, which hands rows over in the
// order they were inserted unless asked for another.
constexpr const char* kInventory = R"(
DROP DATABASE IF EXISTS ocsweb;
CREATE DATABASE ocsweb CHARACTER SET utf8mb4;
USE ocsweb;
CREATE TABLE hardware (
  ID INT NOT NULL AUTO_INCREMENT PRIMARY KEY, DEVICEID VARCHAR(255) NOT NULL,
  NAME VARCHAR(255), WORKGROUP VARCHAR(255), USERDOMAIN VARCHAR(255), OSNAME VARCHAR(255),
  OSVERSION VARCHAR(255), OSCOMMENTS VARCHAR(255), PROCESSORT VARCHAR(255), PROCESSORS INT,
  PROCESSORN SMALLINT, MEMORY INT, SWAP INT, IPADDR VARCHAR(255), DNS VARCHAR(255),
  DEFAULTGATEWAY VARCHAR(255), ETIME DATETIME, LASTDATE DATETIME, LASTCOME DATETIME,
  QUALITY INT, FIDELITY BIGINT, USERID VARCHAR(255), TYPE VARCHAR(255),
  DESCRIPTION VARCHAR(255), CHECKSUM BIGINT) CHARACTER SET utf8mb4;
INSERT INTO hardware VALUES
 (14, 'PC07-2026-11-30-09-00-00', 'PC07', 'COLLEGE', 'COLLEGE',
  'Microsoft Windows 10 Professionnel', '10.0.19045', '', 'Intel(R) Core(TM) i3-7100', 3900,
  2, 4096, 1280, '10.0.0.17', '10.0.0.1', '10.0.0.254', NULL, '2026-11-30 09:00:00',
  '2026-12-07 15:10:00', 0, 80, 'prof.martin', 'Desktop', NULL, 262143),
 (12, 'PC07-2008-03-14-10-22-31', 'PC07', 'COLLEGE', 'COLLEGE',
  'Microsoft Windows XP Professional', '5.1.2600', 'Service Pack 3',
  'Intel(R) Pentium(R) 4 CPU 3.00GHz', 2992, 1, 1024, 2460, '10.0.0.17', '10.0.0.1',
  '10.0.0.254', NULL, '2008-03-14 10:22:31', '2008-03-14 10:22:31', 0, 12, 'didodev',
  'Desktop', '', 131071),
 (15, 'CDI-02-2026-12-05-11-30-00', 'CDI-02', 'COLLÈGE', 'COLLEGE',
  'Microsoft Windows 11 Éducation', '10.0.22631', NULL, 'AMD Ryzen™ 5 5600G', 3900, 6, 16384,
  2048, '10.0.0.52', NULL, NULL, NULL, '2026-12-05 11:30:00', '2026-12-08 08:15:00', 0, 3,
  'mme.lefèvre', 'Portable', 'Chariot mobile;\r\nsalle 12 → CDI', 7),
 (13, 'PC10-2026-12-01-08-01-00', 'PC10', 'COLLEGE', 'COLLEGE',
  'Microsoft Windows 10 Professionnel', '10.0.19045', '', 'Intel(R) Core(TM) i5-8500', 3000, 6,
  8192, 1280, '10.0.0.20', '10.0.0.1', '10.0.0.254', NULL, '2026-12-01 08:01:00',
  '2026-12-07 16:40:12', 0, 40, 'eleve', 'Desktop', NULL, 65535);
CREATE TABLE softwares (
  ID INT NOT NULL AUTO_INCREMENT PRIMARY KEY, HARDWARE_ID INT NOT NULL, PUBLISHER VARCHAR(255),
  FOLDER VARCHAR(255), NAME VARCHAR(255), VERSION VARCHAR(255), COMMENTS TEXT)
  ENGINE=MyISAM CHARACTER SET latin1;
INSERT INTO softwares VALUES
 (104, 14, 'The Document Foundation', 'C:\\Program Files\\LibreOffice', 'LibreOffice 24.2',
  '24.2', NULL),
 (101, 12, 'Mozilla', 'C:\\Program Files\\Mozilla Firefox', 'Mozilla Firefox', '3.0.7', NULL),
 (107, 15, 'Éditions\nHatier', NULL, 'Atlas; édition collège', NULL, 'pour le CDI'),
 (102, 12, 'Microsoft Corporation', NULL, 'Microsoft Office 2003', '11.0', NULL),
 (103, 120, 'Adobe', NULL, 'Adobe Reader 9', '9.0', NULL),
 (105, 14, 'Mozilla', NULL, 'Mozilla Firefox (x64 fr)', '133.0', NULL),
 (106, 13, 'GeoGebra', NULL, 'GeoGebra Classic', '6.0', NULL);
GRANT SELECT ON ocsweb.hardware TO 'atelier'@'%';
)";

// The records of machine 15 and its software, after the fixture's, as Windows-1252 bytes.
constexpr std::string_view kMoreHardware =
    "15;CDI-02-2026-12-05-11-30-00;CDI-02;COLL\xC8GE;COLLEGE;Microsoft Windows 11 \xC9"
    "ducation;10.0.22631;;AMD Ryzen\x99 5 5600G;3900;6;16384;2048;10.0.0.52;;2026-12-05 "
    "11:30:00;2026-12-08 08:15:00;0;3;mme.lef\xE8vre;Portable;Chariot mobile, salle 12 ? CDI;\r\n";
constexpr std::string_view kMoreSoftwares =
    "107;15;\xC9"
    "ditions Hatier;Atlas, \xE9"
    "dition coll\xE8ge;;\r\n";

// The server of the whole test program.
class InventoryServer : public ::testing::Environment {
public:
    void SetUp() override {
        missing = PrivateMariaDb::missingPrograms();
        if (missing) {
            return;
        }
        started = server.start(why);
        if (started) {
            const ProgramResult accounts = server.sql(kAccounts);
            started = accounts.exitCode == 0;
            why = accounts.standardError;
        }
    }
    void TearDown() override { server.stop(); }

    PrivateMariaDb server;
    std::optional<std::string> missing;
    bool started = false;
    std::string why;
};

InventoryServer* const theServer =
    static_cast<InventoryServer*>(::testing::AddGlobalTestEnvironment(new InventoryServer));

std::string fixture(const std::string& name) {
    return test::fixtureBytes("inventory/" + name);
}

class InventoryDatabaseTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        if (theServer->missing) {
            GTEST_SKIP() << "no MariaDB server here (missing: " << *theServer->missing
                         << "); scripts/install-deps.sh installs mariadb-server";
        }
        ASSERT_TRUE(theServer->started) << theServer->why;
        const ProgramResult loaded = theServer->server.sql(kInventory);
        ASSERT_EQ(loaded.exitCode, 0) << loaded.standardError;
    }

    static std::string server() { return theServer->server.tcpAddress(); }

    static ProgramResult sql(const std::string& statements) {
        return theServer->server.sql(statements);
    }

    // Runs the tool in the temporary folder with the arguments after its name.
    static ProgramResult run(const std::string& tool, const std::vector<std::string>& arguments) {
        std::vector<std::string> command{binDir() + "/" + tool};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runProgram(command, std::chrono::seconds(30));
    }

    static void expectSuccess(const ProgramResult& result) {
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_EQ(result.standardError, "");
    }

    // The names in the temporary folder, beside the folders every test has.
    std::set<std::string> folderContents() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(path(""))) {
            names.insert(entry.path().filename().string());
        }
        names.erase("drive_c");
        names.erase("unc");
        return names;
    }
};

TEST_F(InventoryDatabaseTest, ExportsReplaceEarlierOnesWholeInTheFixtureLayout) {
    writeBytes("hardware.ocs", std::string(4096, 'x') + "\r\n");
    writeBytes("softwares.ocs", "1;2;3;4;5;\r\n");

    expectSuccess(run("vt_ocs_hardware", {server(), "ocs", "ocs-secret"}));
    expectSuccess(run("vt_ocs_softwares", {server(), "ocs", "ocs-secret"}));

    EXPECT_EQ(readBytes("hardware.ocs"), fixture("hardware.ocs") + std::string(kMoreHardware));
    EXPECT_EQ(readBytes("softwares.ocs"), fixture("softwares.ocs") + std::string(kMoreSoftwares));
    EXPECT_EQ(folderContents(), (std::set<std::string>{"hardware.ocs", "softwares.ocs"}));
}

TEST_F(InventoryDatabaseTest, EmptyTablesGiveEmptyExports) {
    writeBytes("softwares.ocs", "101;12;Mozilla;Mozilla Firefox;3.0.7;\r\n");
    ASSERT_EQ(sql("DELETE FROM ocsweb.softwares").exitCode, 0);

    expectSuccess(run("vt_ocs_softwares", {server(), "ocs", "ocs-secret"}));

    EXPECT_EQ(readBytes("softwares.ocs"), "");
}

// The main program hands the password over last and unquoted, as the preferences hold it;
// on Windows, or through a batch file, its accents come as Windows-1252 bytes.
TEST_F(InventoryDatabaseTest, APasswordWithBlanksAndAccentsArrivesWhole) {
    const std::vector<std::vector<std::string>> passwords{
        {"mot", "de", "passe", "\xC3\xA9l\xC3\xA8ve"}, {"mot", "de", "passe", "\xE9l\xE8ve"}};
    for (const std::vector<std::string>& password : passwords) {
        std::vector<std::string> arguments{server(), "prof"};
        arguments.insert(arguments.end(), password.begin(), password.end());
        std::filesystem::remove(path("hardware.ocs"));

        expectSuccess(run("vt_ocs_hardware", arguments));

        EXPECT_EQ(readBytes("hardware.ocs"), fixture("hardware.ocs") + std::string(kMoreHardware));
    }
}

// The scheduler's own way: the quoted ".exe" path in the data directory, the server and the
// login, the password in the tool's environment; started hidden from its working directory
// and never waited for.
TEST_F(InventoryDatabaseTest, TheSchedulersCommandLineLeavesTheExportInTheWorkingDirectory) {
    const std::string commandLine =
        "\"" + binDir() + "/vt_ocs_hardware.exe\" " + server() + " prof";

    ASSERT_TRUE(realPlatform().processes.startHidden(
        commandLine, {{"VANTOREL_OCS_PASSWORD", "mot de passe \xC3\xA9l\xC3\xA8ve"}}));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fileExists("hardware.ocs") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(readBytes("hardware.ocs"), fixture("hardware.ocs") + std::string(kMoreHardware));
}

// "localhost" is a network name like any other, not the client library's local socket.
TEST_F(InventoryDatabaseTest, LocalhostWithAPortIsReachedOverTcp) {
    const std::string port = std::to_string(theServer->server.port());

    expectSuccess(run("vt_ocs_softwares", {"localhost:" + port, "ocs", "ocs-secret"}));

    EXPECT_EQ(readBytes("softwares.ocs"), fixture("softwares.ocs") + std::string(kMoreSoftwares));
}

TEST_F(InventoryDatabaseTest, AnUnwritableExportStaysAsItWas) {
    writeBytes("hardware.ocs", "ancien\r\n");
    ASSERT_TRUE(files().setReadOnly("hardware.ocs", true));

    const ProgramResult result = run("vt_ocs_hardware", {server(), "ocs", "ocs-secret"});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError,
              "vt_ocs_hardware : impossible de créer le fichier hardware.ocs ; l'export précédent "
              "hardware.ocs est conservé\n");
    EXPECT_EQ(readBytes("hardware.ocs"), "ancien\r\n");
    EXPECT_EQ(folderContents(), (std::set<std::string>{"hardware.ocs"}));
}

struct FailureCase {
    std::string name;
    std::string tool;
    std::string login;
    std::string password;
    std::string breakage;  // statements run before the tool
    std::string cause;     // "PORT" stands for the server's address
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class InventoryFailureTest : public InventoryDatabaseTest,
                             public ::testing::WithParamInterface<FailureCase> {};

// The whole line is French: the server's English text, which quotes the account, is not shown.
TEST_P(InventoryFailureTest, KeepsTheEarlierExportAndSaysWhyInFrenchOnOneLine) {
    const FailureCase& failure = GetParam();
    const std::string file = failure.tool == "vt_ocs_hardware" ? "hardware.ocs" : "softwares.ocs";
    const std::string earlier = "12;PC07;ancien;\r\n";
    writeBytes(file, earlier);
    if (!failure.breakage.empty()) {
        ASSERT_EQ(sql(failure.breakage).exitCode, 0);
    }
    std::string cause = failure.cause;
    if (const std::size_t at = cause.find("PORT"); at != std::string::npos) {
        cause.replace(at, 4, server());
    }

    const ProgramResult result = run(failure.tool, {server(), failure.login, failure.password});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(readBytes(file), earlier);
    EXPECT_EQ(folderContents(), (std::set<std::string>{file}));
    EXPECT_EQ(result.standardError,
              failure.tool + " : " + cause + " ; l'export précédent " + file + " est conservé\n");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, InventoryFailureTest,
    ::testing::Values(
        FailureCase{"WrongPassword", "vt_ocs_hardware", "ocs", "mauvais-secret", "",
                    "accès refusé par le serveur d'inventaire PORT : utilisateur ocs inconnu ou "
                    "mot de passe incorrect"},
        FailureCase{"UnknownUser", "vt_ocs_softwares", "inconnu", "ocs-secret", "",
                    "accès refusé par le serveur d'inventaire PORT : utilisateur inconnu inconnu "
                    "ou mot de passe incorrect"},
        FailureCase{"ExpiredPassword", "vt_ocs_hardware", "ancien", "ancien-secret", "",
                    "mot de passe de l'utilisateur ancien expiré sur le serveur d'inventaire "
                    "PORT"},
        FailureCase{"LockedAccount", "vt_ocs_softwares", "parti", "parti-secret", "",
                    "compte de l'utilisateur parti verrouillé sur le serveur d'inventaire PORT"},
        FailureCase{"NoRightOnTheDatabase", "vt_ocs_hardware", "visiteur", "visiteur-secret", "",
                    "accès à la base ocsweb refusé à l'utilisateur visiteur"},
        FailureCase{"NoRightOnTheTable", "vt_ocs_softwares", "atelier", "atelier-secret", "",
                    "lecture de la table softwares refusée à l'utilisateur atelier"},
        FailureCase{"MissingDatabase", "vt_ocs_hardware", "ocs", "ocs-secret",
                    "DROP DATABASE ocsweb", "base ocsweb absente du serveur d'inventaire PORT"},
        FailureCase{"MissingTable", "vt_ocs_softwares", "ocs", "ocs-secret",
                    "DROP TABLE ocsweb.softwares", "table softwares absente de la base ocsweb"},
        FailureCase{"MissingColumn", "vt_ocs_hardware", "ocs", "ocs-secret",
                    "ALTER TABLE ocsweb.hardware DROP COLUMN USERID",
                    "colonne absente de la table hardware"}),
    [](const ::testing::TestParamInfo<FailureCase>& test) { return test.param.name; });

}  // namespace
}  // namespace vt::test
