// vt_echo run as a program, and its logic on its own: result texts, input order, file errors.
// The pings are real ICMP on loopback; a machine where no ICMP socket can be opened fails
// these tests rather than passing them with every host "=0".

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/icmp_echo.h"
#include "platform/text_codec.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir_test.h"
#include "tools/echo/raw_ping.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUnshare = "/usr/bin/unshare";

class VtEchoTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ::setenv("VANTOREL_DRIVE_C", driveC().c_str(), 1);
        ASSERT_NE(platform::openIcmpEcho(), nullptr)
            << "no ICMP socket can be opened: neither an ICMP datagram socket "
               "(net.ipv4.ping_group_range) nor a raw one (root) is allowed here";
    }

    void TearDown() override {
        ::unsetenv("VANTOREL_DRIVE_C");
        TempDirTest::TearDown();
    }

    static std::string vtEcho() { return binDir() + "/vt_echo"; }

    static ProgramResult echo(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{vtEcho()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runProgram(command);
    }

    // Runs vt_echo on the target and returns the bytes of its result file.
    std::string resultOf(const std::string& target) const {
        const ProgramResult run = echo({target, "c:\\result.txt"});
        EXPECT_EQ(run.exitCode, 0) << run.standardError;
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_EQ(run.standardError, "");
        return readBytes("drive_c/result.txt").value_or("<no result file>");
    }

    // The result file of a list file holding the given bytes.
    std::string resultOfList(const std::string& bytes) const {
        writeBytes("list.txt", bytes);
        return resultOf(path("list.txt"));
    }

    // Runs a shell script as root in a network namespace of its own, whose loopback is up;
    // $ECHO is the tool and $DRIVE_C its drive C. Skips when no namespace can be made.
    ProgramResult inOwnNetwork(const std::string& script) const {
        if (::geteuid() != 0 || !fs::exists(kUnshare)) {
            return ProgramResult{};
        }
        const std::string prelude =
            "ip link set lo up || exit 97\nECHO='" + vtEcho() + "'\nDRIVE_C='" + driveC() + "'\n";
        return runProgram({kUnshare, "-n", "/bin/sh", "-c", prelude + script});
    }
};

// --- one host -------------------------------------------------------------------------------

struct SingleHostCase {
    const char* target;
    const char* expected;
};

class VtEchoSingleHostTest : public VtEchoTest,
                             public ::testing::WithParamInterface<SingleHostCase> {};

TEST_P(VtEchoSingleHostTest, WritesOneLineEndedByCrLf) {
    EXPECT_EQ(resultOf(GetParam().target), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, VtEchoSingleHostTest,
    ::testing::Values(SingleHostCase{"127.0.0.1", "127.0.0.1=1\r\n"},
                      SingleHostCase{"localhost", "localhost=1\r\n"},
                      SingleHostCase{"127.45.6.7", "127.45.6.7=1\r\n"},
                      SingleHostCase{"LOCALHOST", "LOCALHOST=1\r\n"},
                      // looked up, not found: no packet at all
                      SingleHostCase{"no-such-host.invalid", "no-such-host.invalid=0\r\n"},
                      // the address a failed lookup stands for never answers
                      SingleHostCase{"0.0.0.0", "0.0.0.0=0\r\n"},
                      // used unchanged: blanks are part of the name
                      SingleHostCase{" absent.invalid ", " absent.invalid =0\r\n"},
                      // a path that names no file is a host name
                      SingleHostCase{"c:\\absent.txt", "c:\\absent.txt=0\r\n"}));

TEST_F(VtEchoTest, ResultPathOnDriveCLandsInItsRoot) {
    const ProgramResult run = echo({"127.0.0.1", "c:\\ping7.txt"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(readBytes("drive_c/ping7.txt").value_or("<absent>"), "127.0.0.1=1\r\n");
}

TEST_F(VtEchoTest, ReplacesAnEarlierResultFile) {
    writeBytes("drive_c/ping7.txt", "old=0\r\nmore=1\r\n");
    echo({"localhost", "c:\\ping7.txt"});
    EXPECT_EQ(readBytes("drive_c/ping7.txt").value_or("<absent>"), "localhost=1\r\n");
}

TEST_F(VtEchoTest, HostArgumentInWindows1252KeepsItsBytes) {
    EXPECT_EQ(resultOf("PC\xE9t\xE9"), "PC\xE9t\xE9=0\r\n");
    EXPECT_EQ(resultOf("PC\xC3\xA9"), "PC\xE9=0\r\n");  // UTF-8 from a shell, stored as 1252
}

TEST_F(VtEchoTest, DirectoryIsTakenAsHostName) {
    fs::create_directories(path("drive_c/salle1"));
    EXPECT_EQ(resultOf("c:\\salle1"), "c:\\salle1=0\r\n");
}

TEST_F(VtEchoTest, NameOfAnExistingFileIsReadAsList) {
    // Even a name that would resolve is a list once a file of that name exists.
    writeBytes("localhost", "127.0.0.2\r\n");
    EXPECT_EQ(resultOf("localhost"), "127.0.0.2=1\r\n");
}

// --- list files -----------------------------------------------------------------------------

struct ListCase {
    const char* name;
    std::string bytes;
    std::string expected;
};

class VtEchoListTest : public VtEchoTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(VtEchoListTest, OneLinePerHostInFileOrder) {
    EXPECT_EQ(resultOfList(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, VtEchoListTest,
    ::testing::Values(ListCase{"UnresolvableMiddle",
                               "localhost\r\nno-such-host.invalid\r\n127.0.0.2\r\n",
                               "localhost=1\r\nno-such-host.invalid=0\r\n127.0.0.2=1\r\n"},
                      ListCase{"EmptyLineHasNothingBeforeSign", "127.0.0.1\r\n\r\n127.0.0.3\r\n",
                               "127.0.0.1=1\r\n=0\r\n127.0.0.3=1\r\n"},
                      ListCase{"LfAloneAndNoFinalBreak", "127.0.0.1\nabsent.invalid\n127.0.0.1",
                               "127.0.0.1=1\r\nabsent.invalid=0\r\n127.0.0.1=1\r\n"},
                      ListCase{"SameHostTwiceAnswersTwice", "127.0.0.9\r\n127.0.0.9\r\n",
                               "127.0.0.9=1\r\n127.0.0.9=1\r\n"},
                      ListCase{"Windows1252BytesKept", "\xE9l\xE8ve\r\n\x80uro\r\n",
                               "\xE9l\xE8ve=0\r\n\x80uro=0\r\n"},
                      ListCase{"LinesNotTrimmed", " absent.invalid\r\n\tabsent.invalid \r\n",
                               " absent.invalid=0\r\n\tabsent.invalid =0\r\n"},
                      ListCase{"MarkedMachineAnswersUnderItsPlainName",
                               "localhost*\r\n127.0.0.4*\r\nabsent.invalid*\r\n*\r\n",
                               "localhost*=1\r\n127.0.0.4*=1\r\nabsent.invalid*=0\r\n*=0\r\n"},
                      ListCase{"EmptyFileGivesEmptyResult", "", ""},
                      ListCase{"SingleBreakIsOneEmptyHost", "\r\n", "=0\r\n"}),
    [](const auto& listCase) { return std::string(listCase.param.name); });

TEST_F(VtEchoTest, FiftyMixedHostsComeBackInInputOrder) {
    std::string list;
    std::string expected;
    for (int i = 0; i < 50; ++i) {
        const std::string host = i % 3 == 1 ? "absent-" + std::to_string(i) + ".invalid"
                                            : "127.0." + std::to_string(i) + ".1";
        list += host + "\r\n";
        expected += host + (i % 3 == 1 ? "=0\r\n" : "=1\r\n");
    }
    EXPECT_EQ(resultOfList(list), expected);
}

TEST_F(VtEchoTest, HostileLinesDoNotStopTheRun) {
    std::string randomBytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            randomBytes += static_cast<char>(b);
        }
    }
    const std::string hugeName(200000, 'a');
    const std::string list = randomBytes + "\r\n" + hugeName + "\r\n127.0.0.1\r\n";
    EXPECT_EQ(resultOfList(list), randomBytes + "=0\r\n" + hugeName + "=0\r\n127.0.0.1=1\r\n");
}

TEST_F(VtEchoTest, ThousandsOfHostsAllAnswered) {
    std::string list;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string host =
            "127.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
        list += host + "\n";
        expected += host + "=1\r\n";
    }
    EXPECT_EQ(resultOfList(list), expected);
}

// --- arguments and file errors ----------------------------------------------------------------

class VtEchoMissingArgumentsTest : public VtEchoTest,
                                   public ::testing::WithParamInterface<std::vector<std::string>> {
};

TEST_P(VtEchoMissingArgumentsTest, EndsAtOnceWithoutFile) {
    const ProgramResult run = echo(GetParam());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
    EXPECT_TRUE(fs::is_empty(driveC()));
}

INSTANTIATE_TEST_SUITE_P(Arguments, VtEchoMissingArgumentsTest,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"127.0.0.1"},
                                           std::vector<std::string>{"", "c:\\ping7.txt"},
                                           std::vector<std::string>{"127.0.0.1", ""},
                                           std::vector<std::string>{"", ""}));

TEST_F(VtEchoTest, UnwritableResultFileIsAFileError) {
    const ProgramResult run = echo({"127.0.0.1", "c:\\no such dir\\ping7.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError,
              "vt_echo : Impossible de créer le fichier c:\\no such dir\\ping7.txt\n");
}

TEST_F(VtEchoTest, ReadOnlyResultFileIsKeptAndReported) {
    writeBytes("drive_c/ping7.txt", "PC12=1\r\n");
    ASSERT_TRUE(files().setReadOnly("c:\\ping7.txt", true));
    const ProgramResult run = echo({"127.0.0.1", "c:\\ping7.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "vt_echo : Impossible de créer le fichier c:\\ping7.txt\n");
    EXPECT_EQ(readBytes("drive_c/ping7.txt").value_or("<absent>"), "PC12=1\r\n");
}

// --- own network namespaces: a host that is there but silent, the datagram socket -------------

TEST_F(VtEchoTest, SilentHostIsNotAnswering) {
    const ProgramResult run = inOwnNetwork(
        "sysctl -qw net.ipv4.icmp_echo_ignore_all=1 || exit 97\n"
        "exec \"$ECHO\" 127.0.0.1 'c:\\ping7.txt'\n");
    if (run.exitCode == -1 || run.exitCode == 97) {
        GTEST_SKIP() << "needs root and a network namespace of its own";
    }
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_EQ(readBytes("drive_c/ping7.txt").value_or("<absent>"), "127.0.0.1=0\r\n");
}

TEST_F(VtEchoTest, UnprivilegedDatagramSocketIsUsedWhereAllowed) {
    // Where every group may open ICMP datagram sockets they are taken before a raw socket;
    // the system then chooses the identifier, so replies are matched without it.
    const ProgramResult run = inOwnNetwork(
        "sysctl -qw net.ipv4.ping_group_range='0 2147483647' || exit 97\n"
        "printf '127.0.0.1\\r\\nabsent.invalid\\r\\n127.0.0.2\\r\\n127.0.0.1\\r\\n' > list\n"
        "exec \"$ECHO\" list 'c:\\ping7.txt'\n");
    if (run.exitCode == -1 || run.exitCode == 97) {
        GTEST_SKIP() << "needs root and a network namespace of its own";
    }
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    EXPECT_EQ(readBytes("drive_c/ping7.txt").value_or("<absent>"),
              "127.0.0.1=1\r\nabsent.invalid=0\r\n127.0.0.2=1\r\n127.0.0.1=1\r\n");
}

TEST_F(VtEchoTest, EveryAnsweringHostOfALargeListWithSilentNeighboursAnswers) {
    // One in ten of the 8,000 is a silent address on the local link, whose request is held
    // until its resolution fails: far more such requests than a default send buffer holds.
    std::string list;
    std::string expected;
    for (int i = 0; i < 8000; ++i) {
        const std::string host = (i % 10 == 9 ? "10.77." : "10.78.") + std::to_string(i / 250) +
                                 "." + std::to_string(i % 250 + 1);
        list += host + "\r\n";
        expected += host + (i % 10 == 9 ? "=0\r\n" : "=1\r\n");
    }
    writeBytes("list.txt", list);
    const ProgramResult run = inOwnNetwork(
        "ip link add va type veth peer name vb && ip addr add 10.77.0.1/16 dev va &&\n"
        "ip link set va up && ip link set vb up && ip route add local 10.78.0.0/16 dev lo ||\n"
        "exit 97\nexec \"$ECHO\" '" +
        path("list.txt") + "' 'c:\\ping7.txt'\n");
    if (run.exitCode == -1 || run.exitCode == 97) {
        GTEST_SKIP() << "needs root and a network namespace of its own";
    }
    EXPECT_EQ(readBytes("drive_c/ping7.txt").value_or("<absent>"), expected);
}

// --- the logic on its own -------------------------------------------------------------------

TEST(RawPingTest, OrderSurvivesLookupsFinishingInAnyOrder) {
    // Early hosts take longest to look up, so the lookups end in reverse order.
    std::vector<std::string> hosts;
    std::vector<std::string> expected;
    for (int i = 0; i < 50; ++i) {
        hosts.push_back("host" + std::to_string(i));
        expected.push_back(hosts.back() + (i % 4 == 3 ? "=0" : "=1"));
    }
    const echo::Resolver resolve = [](const std::string& host) -> std::optional<std::uint32_t> {
        const int i = std::stoi(host.substr(4));
        std::this_thread::sleep_for(std::chrono::milliseconds(50 - i));
        if (i % 4 == 3) {
            return std::nullopt;
        }
        return 0x0100007FU + (static_cast<std::uint32_t>(i) << 16);  // 127.0.i.1
    };
    const auto icmp = platform::openIcmpEcho();
    ASSERT_NE(icmp, nullptr);
    EXPECT_EQ(echo::pingAll(hosts, resolve, icmp.get()), expected);
}

TEST(RawPingTest, LookupsRunSideBySideWithinTheBound) {
    const std::vector<std::string> hosts(200, "somewhere");
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    const echo::Resolver resolve = [&](const std::string&) -> std::optional<std::uint32_t> {
        const int now = ++running;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        --running;
        return std::nullopt;
    };
    EXPECT_EQ(echo::resolveAll(hosts, resolve).size(), hosts.size());
    EXPECT_GT(most.load(), 1);
    EXPECT_LE(most.load(), static_cast<int>(echo::kParallelLookups));
}

TEST(RawPingTest, OnlyNamesAreLookedUpOnNoMoreThreadsThanNames) {
    std::vector<std::string> hosts(500, "10.0.0.5*");
    hosts[7] = "PC07";
    hosts[9] = "010.0.0.1";  // not dotted as written: left to the lookup
    hosts[11] = std::string("10.0.0.6\0x", 10);
    std::mutex lock;
    std::multiset<std::string> looked;
    std::set<std::thread::id> threads;
    const auto addresses = echo::resolveAll(hosts, [&](const std::string& host) {
        const std::lock_guard<std::mutex> guard(lock);
        looked.insert(host);
        threads.insert(std::this_thread::get_id());
        return std::optional<std::uint32_t>{};
    });
    EXPECT_EQ(looked, (std::multiset<std::string>{hosts[7], hosts[9], hosts[11]}));
    EXPECT_LE(threads.size(), 3U);
    EXPECT_EQ(addresses[0], 0x0500000AU);
}

TEST(RawPingTest, WithoutIcmpNothingIsLookedUp) {
    int lookups = 0;
    const echo::Resolver resolve = [&](const std::string&) -> std::optional<std::uint32_t> {
        ++lookups;
        return 0x0100007FU;
    };
    EXPECT_EQ(echo::pingAll({"localhost", ""}, resolve, nullptr),
              (std::vector<std::string>{"localhost=0", "=0"}));
    EXPECT_EQ(lookups, 0);
}

TEST(RawPingTest, OneAfterAnotherGivesTheSameLines) {
    const std::vector<std::string> hosts{"a", "b", "c"};
    const echo::Resolver resolve = [](const std::string& host) -> std::optional<std::uint32_t> {
        if (host == "b") {
            return std::nullopt;
        }
        return 0x0100007FU;
    };
    EXPECT_EQ(echo::pingOneAfterAnother(hosts, resolve),
              (std::vector<std::string>{"a=1", "b=0", "c=1"}));
}

struct ArgumentCase {
    const char* bytes;
    const char* text;
};

class RawPingArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(RawPingArgumentTest, UsesUtf8AsItIsAndReadsOtherBytesAsWindows1252) {
    EXPECT_EQ(platform::argumentText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Arguments, RawPingArgumentTest,
                         ::testing::Values(ArgumentCase{"PC12", "PC12"},
                                           ArgumentCase{"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
                                           ArgumentCase{"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
                                           ArgumentCase{"\x80", "\xE2\x82\xAC"},
                                           ArgumentCase{"", ""}));

}  // namespace
}  // namespace vt::test
