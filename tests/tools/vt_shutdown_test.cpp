// vt_shutdown run as a program, with a stand-in for Samba's net found first on the search
// path: it records the arguments it was given and answers as the test tells it.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir_test.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

constexpr const char* kPassword = "s3cret-Mot2passe";

// Records its arguments one a line, prints $FAKE_NET_OUTPUT (with 50 MB of chatter before
// or after it when $FAKE_NET_CHATTER says so, then writes its caller's peak memory in KiB to
// "net-peak"), waits $FAKE_NET_SLEEP seconds and exits with $FAKE_NET_EXIT.
constexpr const char* kFakeNet =
    "#!/bin/sh\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >\"$FAKE_NET_ARGUMENTS\"\n"
    "chatter() { yes 'lp_load_ex: refreshing parameters' | head -c 50000000; }\n"
    "[ \"$FAKE_NET_CHATTER\" = before ] && chatter\n"
    "printf '%b' \"$FAKE_NET_OUTPUT\"\n"
    "[ \"$FAKE_NET_CHATTER\" = after ] && chatter\n"
    "[ -n \"$FAKE_NET_CHATTER\" ] && awk '/VmHWM/ {print $2}' /proc/$PPID/status >net-peak\n"
    "[ -n \"$FAKE_NET_SLEEP\" ] && /bin/sleep \"$FAKE_NET_SLEEP\"\n"
    "exit \"${FAKE_NET_EXIT:-0}\"\n";

class VtShutdownTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directories(path("net-bin"));
        writeBytes("net-bin/net", kFakeNet);
        fs::permissions(path("net-bin/net"), fs::perms::owner_all);
        writeBytes("smb.auth",
                   "username=vtadmin\npassword=" + std::string(kPassword) + "\ndomain=COLLEGE\n");
        fs::permissions(path("smb.auth"), fs::perms::owner_read | fs::perms::owner_write);
        fs::create_directories(path("empty-bin"));
        m_environment.emplace_back("PATH", (path("net-bin") + ":/usr/bin:/bin").c_str());
        m_environment.emplace_back("FAKE_NET_ARGUMENTS", path("net-arguments").c_str());
        m_environment.emplace_back("VANTOREL_SMB_AUTH", path("smb.auth").c_str());
        m_environment.emplace_back("KRB5CCNAME", nullptr);
        m_environment.emplace_back("FAKE_NET_OUTPUT", "\\nShutdown of remote machine succeeded\\n");
        m_environment.emplace_back("FAKE_NET_EXIT", nullptr);
        m_environment.emplace_back("FAKE_NET_SLEEP", nullptr);
        m_environment.emplace_back("FAKE_NET_CHATTER", nullptr);
        m_environment.emplace_back("VANTOREL_NET_TIME_LIMIT", nullptr);
    }
    void TearDown() override {
        while (!m_environment.empty()) {
            m_environment.pop_back();
        }
        TempDirTest::TearDown();
    }

    static ProgramResult run(Lines arguments) {
        arguments.insert(arguments.begin(), binDir() + "/vt_shutdown");
        return runProgram(arguments);
    }
    Lines netArguments() const { return readLines("net-arguments"); }
    bool netRan() const { return fileExists("net-arguments"); }
    // The log's lines without their date and time.
    Lines logResults() const {
        Lines results;
        for (const std::string& line : readLines("shutdown.log")) {
            results.push_back(line.substr(std::string("06/12/2026;07:35:20;").size()));
        }
        return results;
    }
    std::string authOption() const { return "--authentication-file=" + path("smb.auth"); }

    std::deque<ScopedEnvironment> m_environment;
};

struct CommandCase {
    const char* name;
    Lines arguments;
    Lines net;  // after "net rpc", before the credentials
    std::string result;
};

class VtShutdownCommandTest : public VtShutdownTest,
                              public ::testing::WithParamInterface<CommandCase> {};

TEST_P(VtShutdownCommandTest, HandsNetTheRequestAsOneArgumentEach) {
    const CommandCase& c = GetParam();
    const ProgramResult result = run(c.arguments);
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(result.standardOutput, "localhost : " + c.result + "\n");
    Lines expected{"rpc"};
    expected.insert(expected.end(), c.net.begin(), c.net.end());
    expected.push_back(authOption());
    EXPECT_EQ(netArguments(), expected);
    EXPECT_EQ(logResults(), Lines{"localhost;" + c.result + ";"});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, VtShutdownCommandTest,
    ::testing::Values(CommandCase{"AsTheBatchWritesIt",
                                  {"-s", "-f", "-t", "1", "-c", "Fin des cours", "-m",
                                   "\\\\localhost"},
                                  {"shutdown", "--server=localhost", "--ipaddress=127.0.0.1",
                                   "--timeout=1", "--comment=Fin des cours", "--force"},
                                  "arrêt demandé"},
                      CommandCase{"SlashesAndCapitalsRestart",
                                  {"/R", "/T", "0", "/M", "localhost"},
                                  {"shutdown", "--server=localhost", "--ipaddress=127.0.0.1",
                                   "--timeout=0", "--comment=", "--reboot"},
                                  "redémarrage demandé"},
                      CommandCase{"AbortNamesOnlyTheMachine",
                                  {"-a", "-m", "\\\\localhost"},
                                  {"abortshutdown", "--server=localhost", "--ipaddress=127.0.0.1"},
                                  "annulation demandée"},
                      CommandCase{"TimeoutDefaultsToThirtySeconds",
                                  {"-s", "-c", "\"; reboot", "-m", "\\\\localhost"},
                                  {"shutdown", "--server=localhost", "--ipaddress=127.0.0.1",
                                   "--timeout=30", "--comment=\"; reboot"},
                                  "arrêt demandé"}),
    [](const auto& param) { return std::string(param.param.name); });

struct OutcomeCase {
    const char* name;
    std::string output;
    int exitCode;
    std::string result;
};

class VtShutdownOutcomeTest : public VtShutdownTest,
                              public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(VtShutdownOutcomeTest, NetsAnswerBecomesTheFrenchResult) {
    const OutcomeCase& c = GetParam();
    ScopedEnvironment output("FAKE_NET_OUTPUT", c.output.c_str());
    ScopedEnvironment exitCode("FAKE_NET_EXIT", std::to_string(c.exitCode).c_str());
    const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});

    const bool succeeded = c.result == "arrêt demandé";
    EXPECT_EQ(result.exitCode, succeeded ? 0 : 1);
    EXPECT_EQ(result.standardOutput, "localhost : " + c.result + "\n");
    EXPECT_EQ(logResults(), Lines{"localhost;" + c.result + ";"});
    if (!succeeded && !c.output.empty()) {
        // What net said stays visible for the administrator.
        EXPECT_NE(result.standardError.find("vt_shutdown : net : "), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, VtShutdownOutcomeTest,
    ::testing::Values(
        OutcomeCase{"Succeeded", "\\nShutdown of remote machine succeeded\\n", 0, "arrêt demandé"},
        OutcomeCase{"WrongPassword",
                    "Could not connect to server PC\\nThe username or password was not "
                    "correct.\\nConnection failed: NT_STATUS_LOGON_FAILURE\\n",
                    255, "accès refusé"},
        OutcomeCase{"NoPrivilege",
                    "Shutdown of remote machine failed\\nresult was: WERR_ACCESS_DENIED\\n", 255,
                    "accès refusé"},
        OutcomeCase{"MachineOff", "Connection failed: NT_STATUS_HOST_UNREACHABLE\\n", 255,
                    "machine injoignable"},
        OutcomeCase{"NoSmbServer", "Connection failed: NT_STATUS_CONNECTION_REFUSED\\n", 255,
                    "machine injoignable"},
        OutcomeCase{"NameNotFound", "Unable to find a suitable server for domain COLLEGE\\n", 255,
                    "machine injoignable"},
        OutcomeCase{"OtherStatus", "Connection failed: NT_STATUS_INVALID_PARAMETER_MIX\\n", 255,
                    "échec : NT_STATUS_INVALID_PARAMETER_MIX"},
        // A status means failure even when net exits with 0.
        OutcomeCase{"StatusDespiteZero", "result: NT_STATUS_ACCESS_DENIED\\n", 0, "accès refusé"},
        OutcomeCase{"SilentFailure", "", 3, "échec : code de sortie 3"}),
    [](const auto& param) { return std::string(param.param.name); });

// 50 MB of chatter before or after the status: what is kept is bounded, and the status is
// still read, at the beginning or at the end of what net printed.
TEST_F(VtShutdownTest, ChatteringNetTakesLittleMemoryAndStillGivesItsResult) {
    for (const char* where : {"before", "after"}) {
        ScopedEnvironment chatter("FAKE_NET_CHATTER", where);
        ScopedEnvironment output("FAKE_NET_OUTPUT",
                                 "Connection failed: NT_STATUS_LOGON_FAILURE\\n");
        ScopedEnvironment exitCode("FAKE_NET_EXIT", "255");
        const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});
        EXPECT_EQ(result.standardOutput, "localhost : accès refusé\n") << where;
        ASSERT_TRUE(fileExists("net-peak"));
        EXPECT_LT(std::stoul(*readBytes("net-peak")), 30'000u) << where;
    }
}

TEST_F(VtShutdownTest, NetThatHangsIsEndedAtTheTimeLimit) {
    ScopedEnvironment sleep("FAKE_NET_SLEEP", "20");
    ScopedEnvironment limit("VANTOREL_NET_TIME_LIMIT", "1");
    const auto started = std::chrono::steady_clock::now();
    const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 8s);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(logResults(), Lines{"localhost;machine injoignable (pas de réponse à temps);"});
}

TEST_F(VtShutdownTest, KerberosTicketTakesThePlaceOfTheFile) {
    writeBytes("krb5cc_vt_test", "ticket");
    ScopedEnvironment ticket("KRB5CCNAME", ("FILE:" + path("krb5cc_vt_test")).c_str());
    ScopedEnvironment noFile("VANTOREL_SMB_AUTH", path("absent.auth").c_str());
    const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(netArguments().back(), "--use-kerberos=required");

    // A cache file that is not there holds no ticket.
    ScopedEnvironment noTicket("KRB5CCNAME", ("FILE:" + path("absent.cache")).c_str());
    EXPECT_EQ(run({"-s", "-t", "1", "-m", "\\\\localhost"}).exitCode, 1);
    EXPECT_EQ(logResults().back(), "localhost;identifiants introuvables;");
}

struct CredentialCase {
    const char* name;
    std::string file;
    fs::perms permissions;
    std::string result;
};

class VtShutdownCredentialTest : public VtShutdownTest,
                                 public ::testing::WithParamInterface<CredentialCase> {};

TEST_P(VtShutdownCredentialTest, NetDoesNotRunWithoutUsableCredentials) {
    const CredentialCase& c = GetParam();
    if (!c.file.empty()) {
        fs::permissions(path("smb.auth"), c.permissions);
    }
    ScopedEnvironment file("VANTOREL_SMB_AUTH", path(c.file.empty() ? "absent" : c.file).c_str());
    const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(netRan());
    EXPECT_EQ(result.standardOutput, "localhost : " + c.result + "\n");
    EXPECT_NE(result.standardError.find("vt_shutdown : "), std::string::npos);
    EXPECT_EQ(logResults(), Lines{"localhost;" + c.result + ";"});
}

INSTANTIATE_TEST_SUITE_P(
    Credentials, VtShutdownCredentialTest,
    ::testing::Values(
        CredentialCase{"Missing", "", fs::perms::none, "identifiants introuvables"},
        CredentialCase{"GroupReadable", "smb.auth",
                       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                       "fichier d'identification lisible par d'autres"},
        CredentialCase{"OthersReadable", "smb.auth", fs::perms::owner_read | fs::perms::others_read,
                       "fichier d'identification lisible par d'autres"},
        CredentialCase{"ADirectory", "net-bin", fs::perms::owner_all, "identifiants introuvables"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(VtShutdownTest, ThePasswordAppearsNowhere) {
    ScopedEnvironment output("FAKE_NET_OUTPUT", "Connection failed: NT_STATUS_LOGON_FAILURE\\n");
    ScopedEnvironment exitCode("FAKE_NET_EXIT", "255");
    const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});
    for (const std::string& text : {result.standardOutput, result.standardError,
                                    *readBytes("shutdown.log"), *readBytes("net-arguments")}) {
        EXPECT_EQ(text.find(kPassword), std::string::npos) << text;
    }
}

TEST_F(VtShutdownTest, MissingNetIsOneLineOnTheErrorStreamAndInTheLog) {
    ScopedEnvironment searchPath("PATH", path("empty-bin").c_str());
    const ProgramResult result = run({"-s", "-t", "1", "-m", "\\\\localhost"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1)
        << result.standardError;
    EXPECT_EQ(logResults(), Lines{"localhost;net introuvable;"});
}

TEST_F(VtShutdownTest, MarkedMachineIsNeverSentAndLoggedUnderItsPlainName) {
    const ProgramResult result = run({"-s", "-f", "-t", "1", "-c", "bye!", "-m", "\\\\PC07*"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(netRan());
    EXPECT_EQ(result.standardOutput, "PC07 : jamais éteinte (marquée *)\n");
    EXPECT_EQ(logResults(), Lines{"PC07;jamais éteinte (marquée *);"});
}

TEST_F(VtShutdownTest, LogIsWindows1252WithCrLfAndTheDateFirst) {
    run({"-s", "-t", "1", "-m", "\\\\localhost"});
    const std::string bytes = *readBytes("shutdown.log");
    ASSERT_GE(bytes.size(), 20u);
    EXPECT_TRUE(bytes.ends_with(";localhost;arr\xEAt demand\xE9;\r\n")) << bytes;
    EXPECT_EQ(bytes[2], '/');
    EXPECT_EQ(bytes[5], '/');
    EXPECT_EQ(bytes[10], ';');
    EXPECT_EQ(bytes[13], ':');
}

TEST_F(VtShutdownTest, RunsSideBySideWithoutLosingALine) {
    std::vector<std::future<ProgramResult>> runs;
    for (int i = 0; i < 8; ++i) {
        runs.push_back(std::async(std::launch::async, [] {
            return run({"-s", "-t", "1", "-m", "\\\\localhost"});
        }));
    }
    for (auto& finished : runs) {
        EXPECT_EQ(finished.get().exitCode, 0);
    }
    EXPECT_EQ(logResults(), Lines(8, "localhost;arrêt demandé;"));
}

class VtShutdownRefusalTest : public VtShutdownTest, public ::testing::WithParamInterface<Lines> {};

TEST_P(VtShutdownRefusalTest, BadCommandsAreRefusedBeforeAnythingRuns) {
    const ProgramResult result = run(GetParam());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_NE(result.standardError.find("vt_shutdown : "), std::string::npos);
    EXPECT_FALSE(netRan());
    EXPECT_FALSE(fileExists("shutdown.log"));
}

INSTANTIATE_TEST_SUITE_P(
    BadCommands, VtShutdownRefusalTest,
    ::testing::Values(Lines{"-s", "-m", "\\\\"}, Lines{"-s", "-m", "\\\\*"},
                      Lines{"-s", "-m", "\\\\PC;reboot"}, Lines{"-s", "-m", "\\\\$(reboot)"},
                      Lines{"-s", "-m", "\\\\PC 12"}, Lines{"-s", "-m", "\\\\PC\x01"},
                      Lines{"-s", "-m", "\\\\PC\xC2\x85"}, Lines{"-s", "-m", "\\\\-rf"},
                      Lines{"-s", "-m", "\\\\" + std::string(256, 'A')},
                      Lines{"-s", "-m", "\\\\PC/../x"}, Lines{"-s", "-t", "-5", "-m", "\\\\PC"},
                      Lines{"-s", "-t", "999999999", "-m", "\\\\PC"},
                      Lines{"-s", "-c", std::string(513, 'x'), "-m", "\\\\PC"},
                      Lines{"-s", "-a", "-m", "\\\\PC"}, Lines{"-s"}, Lines{"-m", "\\\\PC"},
                      Lines{"-s", "-l", "-m", "\\\\PC"}, Lines{"-s", "-m"},
                      Lines{"-s", "-m", "\\\\PC", "-m", "\\\\PC2"}, Lines{}));

TEST_F(VtShutdownTest, BatchLineRunsThroughTheCommandInterpreter) {
    const ProgramResult result = runProgram(
        {binDir() + "/vt_cmd", "-c", "shutdown -s -f -t 5 -c \"Fin des cours\" -m \\\\localhost"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(netArguments(),
              (Lines{"rpc", "shutdown", "--server=localhost", "--ipaddress=127.0.0.1",
                     "--timeout=5", "--comment=Fin des cours", "--force", authOption()}));
}

}  // namespace
}  // namespace vt::test
