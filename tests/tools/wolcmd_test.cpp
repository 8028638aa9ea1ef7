// wolcmd run as a program, its packet caught on loopback; and run from a power-up batch
// through vt_cmd, the way the system starts it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir_test.h"
#include "tests/support/udp_receiver.h"

namespace vt::test {
namespace {

using namespace std::chrono_literals;

const std::string kMacBytes("\x00\x11\x22\xAA\xBB\xCC", 6);

std::string expectedPacket(const std::string& mac) {
    std::string packet(6, '\xFF');
    for (int i = 0; i < 16; ++i) {
        packet += mac;
    }
    return packet;
}

std::string wolcmd() {
    return binDir() + "/wolcmd";
}

class WolcmdMacTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WolcmdMacTest, SendsTheMagicPacketToTheDirectedBroadcast) {
    UdpReceiver receiver;
    ASSERT_TRUE(receiver.valid());

    const ProgramResult result = runProgram(
        {wolcmd(), GetParam(), "127.0.0.1", "255.255.255.255", std::to_string(receiver.port())});

    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    const auto packet = receiver.receive();
    ASSERT_TRUE(packet.has_value());
    EXPECT_EQ(packet->size(), 102u);
    EXPECT_EQ(*packet, expectedPacket(kMacBytes));
}

INSTANTIATE_TEST_SUITE_P(MacForms, WolcmdMacTest,
                         ::testing::Values("00-11-22-AA-BB-CC", "00:11:22:aa:bb:cc",
                                           "001122aAbBcC"));

TEST(Wolcmd, TheHostBitsOfTheAddressAreSetByTheMask) {
    // 127.0.0.2 in a network of four addresses: its broadcast is 127.0.0.3.
    UdpReceiver receiver("127.0.0.3");
    ASSERT_TRUE(receiver.valid());
    const ProgramResult result = runProgram({wolcmd(), "0a0B0c0D0e0F", "127.0.0.2",
                                             "255.255.255.252", std::to_string(receiver.port())});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(result.standardOutput,
              "wolcmd : paquet magique envoyé pour 0A-0B-0C-0D-0E-0F à 127.0.0.3:" +
                  std::to_string(receiver.port()) + "\n");
    EXPECT_EQ(receiver.receive(), expectedPacket("\x0A\x0B\x0C\x0D\x0E\x0F"));
}

TEST(Wolcmd, PortNineUnlessAnotherIsGiven) {
    UdpReceiver receiver("127.0.0.1", 9);
    if (!receiver.valid()) {
        GTEST_SKIP() << "port 9 of the loopback cannot be bound here (taken, or not root)";
    }
    const ProgramResult result =
        runProgram({wolcmd(), "00-11-22-AA-BB-CC", "127.0.0.1", "255.255.255.255"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(receiver.receive(), expectedPacket(kMacBytes));
}

struct BadArguments {
    std::vector<std::string> arguments;
    const char* message;
};

void PrintTo(const BadArguments& c, std::ostream* out) {
    *out << c.message;
}

class WolcmdBadArgumentsTest : public ::testing::TestWithParam<BadArguments> {};

TEST_P(WolcmdBadArgumentsTest, AreRefusedWithExitCodeOneAndNothingSent) {
    UdpReceiver receiver;
    ASSERT_TRUE(receiver.valid());
    std::vector<std::string> arguments{wolcmd()};
    for (const std::string& argument : GetParam().arguments) {
        arguments.push_back(argument == "PORT" ? std::to_string(receiver.port()) : argument);
    }
    const ProgramResult result = runProgram(arguments);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError, std::string(GetParam().message) + "\n");
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_FALSE(receiver.receive(200ms).has_value());
}

const std::string kLoop = "127.0.0.1";
const std::string kHost = "255.255.255.255";

INSTANTIATE_TEST_SUITE_P(
    Cases, WolcmdBadArgumentsTest,
    ::testing::Values(
        BadArguments{{}, "usage : wolcmd MAC IP MASQUE [PORT]"},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop}, "usage : wolcmd MAC IP MASQUE [PORT]"},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop, kHost, "PORT", "x"},
                     "usage : wolcmd MAC IP MASQUE [PORT]"},
        BadArguments{{"00-11-22-AA-BB", kLoop, kHost, "PORT"},
                     "wolcmd : adresse MAC invalide : 00-11-22-AA-BB"},
        BadArguments{{"00-11-22-AA-BB-CC-DD", kLoop, kHost, "PORT"},
                     "wolcmd : adresse MAC invalide : 00-11-22-AA-BB-CC-DD"},
        BadArguments{{"00-11:22-AA-BB-CC", kLoop, kHost, "PORT"},
                     "wolcmd : adresse MAC invalide : 00-11:22-AA-BB-CC"},
        BadArguments{{"0G-11-22-AA-BB-CC", kLoop, kHost, "PORT"},
                     "wolcmd : adresse MAC invalide : 0G-11-22-AA-BB-CC"},
        BadArguments{{"00.11.22.AA.BB.CC", kLoop, kHost, "PORT"},
                     "wolcmd : adresse MAC invalide : 00.11.22.AA.BB.CC"},
        BadArguments{{"", kLoop, kHost, "PORT"}, "wolcmd : adresse MAC invalide : "},
        BadArguments{{"00-11-22-AA-BB-CC", "127.0.0.256", kHost, "PORT"},
                     "wolcmd : adresse IP invalide : 127.0.0.256"},
        BadArguments{{"00-11-22-AA-BB-CC", "127.0.0", kHost, "PORT"},
                     "wolcmd : adresse IP invalide : 127.0.0"},
        BadArguments{{"00-11-22-AA-BB-CC", "PC12", kHost, "PORT"},
                     "wolcmd : adresse IP invalide : PC12"},
        BadArguments{{"00-11-22-AA-BB-CC", "127.0.0.1 ", kHost, "PORT"},
                     "wolcmd : adresse IP invalide : 127.0.0.1 "},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop, "255.0.255.0", "PORT"},
                     "wolcmd : masque invalide : 255.0.255.0"},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop, "", "PORT"}, "wolcmd : masque invalide : "},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop, kHost, "0"}, "wolcmd : port invalide : 0"},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop, kHost, "65536"},
                     "wolcmd : port invalide : 65536"},
        BadArguments{{"00-11-22-AA-BB-CC", kLoop, kHost, "9x"}, "wolcmd : port invalide : 9x"}));

// The power-up batch as the system writes it: "cd" into the program folder, then one bare
// "wolcmd" line per machine, run by vt_cmd.
class WolcmdPowerUpBatchTest : public TempDirTest {};

TEST_F(WolcmdPowerUpBatchTest, APowerUpBatchRunThroughVtCmdWakesEachMachine) {
    ::setenv("VANTOREL_DRIVE_C", driveC().c_str(), 1);
    UdpReceiver first;
    UdpReceiver second;
    ASSERT_TRUE(first.valid() && second.valid());
    const std::string batch =
        "cd " + binDir() + "/\r\n" + "wolcmd 00:11:22:aa:bb:cc 127.0.0.1 255.255.255.255 " +
        std::to_string(first.port()) + "\r\n" + "wolcmd 00-11-22-AA-BB 127.0.0.1 255.255.255.255 " +
        std::to_string(first.port()) + "\r\n" +
        "wolcmd 66-55-44-33-22-11 127.0.0.1 255.255.255.255 " + std::to_string(second.port()) +
        "\r\n";
    writeBytes("powerupSalle1.bat", batch);

    const ProgramResult result = runProgram({binDir() + "/vt_cmd", path("powerupSalle1.bat")});

    EXPECT_EQ(result.exitCode, 0);
    // The bad line fails on its own; the lines around it still run.
    EXPECT_EQ(result.standardError, "wolcmd : adresse MAC invalide : 00-11-22-AA-BB\n");
    EXPECT_EQ(first.receive(), expectedPacket(kMacBytes));
    EXPECT_FALSE(first.receive(200ms).has_value());
    EXPECT_EQ(second.receive(), expectedPacket("\x66\x55\x44\x33\x22\x11"));
}

}  // namespace
}  // namespace vt::test
