// vt_nbtstat, vt_net and vt_arp run as programs: first their refusals, which need nothing;
// then, as root, for real in network namespaces of the test's own against the responder
// helper, which answers for many addresses at once (tests/support/netbios_responder). Nothing
// they send leaves those namespaces.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/netbios_test_network.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir_test.h"
#include "tools/adapters/french_layouts.h"
#include "tools/adapters/name_cache.h"

namespace vt::test {
namespace {

using adapters::Ipv4Address;
using adapters::MacAddress;
using adapters::NameTableRow;
using Clock = std::chrono::steady_clock;

std::string tool(const std::string& name) {
    return binDir() + "/" + name;
}

Ipv4Address address(const std::string& text) {
    return *adapters::parseIpv4(text);
}

// The name table the responder gives a host with the default options.
std::vector<NameTableRow> tableOf(const std::string& name) {
    return {
        {name, 0x00, false}, {"COLLEGE", 0x00, true}, {name, 0x20, false}, {"COLLEGE", 0x1E, true}};
}

// The MAC address the responder gives a host: 02-00 and the address's four bytes.
MacAddress macOf(const std::string& host) {
    const std::uint32_t a = address(host).value;
    return {0x02,
            0x00,
            static_cast<std::uint8_t>(a >> 24),
            static_cast<std::uint8_t>(a >> 16),
            static_cast<std::uint8_t>(a >> 8),
            static_cast<std::uint8_t>(a)};
}

MacAddress macFromText(const std::string& text) {
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size() && i * 3 + 1 < text.size(); ++i) {
        mac[i] = static_cast<std::uint8_t>(std::stoi(text.substr(i * 3, 2), nullptr, 16));
    }
    return mac;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// --- refusals: one French line on standard error, nothing on standard output ---------------

struct RefusalCase {
    const char* program;
    std::vector<std::string> arguments;
    std::string message;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.message;
}

class AdapterRefusalTest : public TempDirTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(AdapterRefusalTest, PrintsOneFrenchLineAndEndsWithTwo) {
    std::vector<std::string> command{tool(GetParam().program)};
    command.insert(command.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const ProgramResult run = runProgram(command);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, GetParam().message + "\n");
}

const std::string kNbtstatUsage = "nbtstat : usage : nbtstat -a NOM | -A ADRESSE | -c";
const std::string kArpUsage = "arp : usage : arp -a [ADRESSE] [-N INTERFACE]";

INSTANTIATE_TEST_SUITE_P(
    Refusals, AdapterRefusalTest,
    ::testing::Values(
        RefusalCase{"vt_nbtstat", {}, kNbtstatUsage},
        RefusalCase{"vt_nbtstat", {"-a"}, kNbtstatUsage},
        RefusalCase{"vt_nbtstat", {"-a", "PC07", "5"}, kNbtstatUsage},
        RefusalCase{"vt_nbtstat", {"-c", "PC07"}, kNbtstatUsage},
        RefusalCase{"vt_nbtstat", {"-R"}, "nbtstat : option non prise en charge : -R"},
        RefusalCase{"vt_nbtstat", {"-C"}, "nbtstat : option non prise en charge : -C"},
        RefusalCase{"vt_nbtstat", {"PC07"}, "nbtstat : option non prise en charge : PC07"},
        RefusalCase{"vt_nbtstat", {"-A", "PC07"}, "nbtstat : adresse IP invalide : PC07"},
        RefusalCase{"vt_nbtstat", {"-a", "PC03*"}, "nbtstat : caractère interdit dans le nom : *"},
        RefusalCase{
            "vt_nbtstat", {"-a", "PC&calc"}, "nbtstat : caractère interdit dans le nom : &"},
        RefusalCase{
            "vt_nbtstat", {"-A", "10.0.0.1>x"}, "nbtstat : caractère interdit dans le nom : >"},
        RefusalCase{"vt_nbtstat", {"-a", "PC\x01"}, "nbtstat : caractère de contrôle dans le nom"},
        RefusalCase{"vt_nbtstat", {"-a", ""}, "nbtstat : nom vide"},
        RefusalCase{"vt_nbtstat",
                    {"-a", std::string(256, 'A')},
                    "nbtstat : nom trop long (plus de 255 caractères)"},
        RefusalCase{
            "vt_net", {}, "net : sous-commande manquante (seule « net view » est prise en charge)"},
        RefusalCase{"vt_net", {"use"}, "net : sous-commande non prise en charge : use"},
        RefusalCase{"vt_net", {"viewer"}, "net : sous-commande non prise en charge : viewer"},
        RefusalCase{"vt_net",
                    {"view", "\\\\PC07"},
                    "net : paramètre de « net view » non pris en charge : \\\\PC07"},
        RefusalCase{"vt_arp", {}, kArpUsage},
        RefusalCase{"vt_arp",
                    {"-s", "10.0.0.1", "00-11-22-33-44-55"},
                    "arp : option non prise en charge : -s"},
        RefusalCase{"vt_arp", {"-d", "10.0.0.1"}, "arp : option non prise en charge : -d"},
        RefusalCase{"vt_arp", {"-a", "10.0.0"}, "arp : adresse IP invalide : 10.0.0"},
        RefusalCase{"vt_arp", {"-a", "-N"}, kArpUsage},
        RefusalCase{"vt_arp", {"-a", "10.0.0.1", "10.0.0.2"}, kArpUsage},
        RefusalCase{"vt_arp", {"-a", "-N", "eth0"}, "arp : adresse IP invalide : eth0"}));

TEST_F(TempDirTest, RefusedNameThroughVtCmdLeavesAnEmptyOutputFile) {
    ::setenv("VANTOREL_DRIVE_C", driveC().c_str(), 1);
    const ProgramResult run =
        runProgram({tool("vt_cmd"), "-c", "nbtstat -a PC03* >c:\\nbtstat5.txt"});
    ::unsetenv("VANTOREL_DRIVE_C");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(readBytes("drive_c/nbtstat5.txt"), "");
    EXPECT_NE(run.standardError.find("caractère interdit dans le nom : *"), std::string::npos)
        << run.standardError;
}

// --- for real, in namespaces ---------------------------------------------------------------

class AdapterNetworkTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        if (const std::string reason = NetbiosTestNetwork::unavailableReason(); !reason.empty()) {
            GTEST_SKIP() << reason;
        }
        ::setenv("VANTOREL_DRIVE_C", driveC().c_str(), 1);
    }

    void TearDown() override {
        m_network.reset();
        ::unsetenv("VANTOREL_DRIVE_C");
        TempDirTest::TearDown();
    }

    // Namespaces with `networks` networks and a responder for the hosts' lines.
    void start(int networks, const std::vector<std::string>& hosts) {
        m_network = std::make_unique<NetbiosTestNetwork>();
        std::string error;
        ASSERT_TRUE(m_network->create(networks, error)) << error;
        if (!hosts.empty()) {
            ASSERT_TRUE(m_network->startResponder(hosts, error)) << error;
        }
    }

    ProgramResult run(const std::string& program, const std::vector<std::string>& arguments) {
        std::vector<std::string> command{tool(program)};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return m_network->runInClient(command);
    }

    NetbiosTestNetwork& network() { return *m_network; }

    const Ipv4Address kClient = address(NetbiosTestNetwork::clientAddress());

private:
    std::unique_ptr<NetbiosTestNetwork> m_network;
};

TEST_F(AdapterNetworkTest, NodeStatusByAddressPrintsTheTableAsWindows) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10", "10.99.0.11 PC11"}));
    const ProgramResult result = run("vt_nbtstat", {"-A", "10.99.0.10"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(result.standardOutput,
              "\r\nConnexion au r\xE9seau local:\r\n"
              "Adresse IP du n\x9Cud : [10.99.0.1] ID d'\xE9tendue : []\r\n\r\n"
              "           Table de noms NetBIOS des ordinateurs distants\r\n\r\n"
              "       Nom               Type         Statut\r\n"
              "    ---------------------------------------------\r\n"
              "    PC10           <00>  UNIQUE      Inscrit\r\n"
              "    COLLEGE        <00>  GROUPE      Inscrit\r\n"
              "    PC10           <20>  UNIQUE      Inscrit\r\n"
              "    COLLEGE        <1E>  GROUPE      Inscrit\r\n\r\n"
              "    Adresse MAC = 02-00-0A-63-00-0A\r\n\r\n");
    // The cache tool's form: "-a" with an address.
    EXPECT_EQ(run("vt_nbtstat", {"-a", "10.99.0.10"}).standardOutput, result.standardOutput);
}

TEST_F(AdapterNetworkTest, NameWithoutAnAddressIsFoundByBroadcast) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10", "10.99.0.11 PC11"}));
    const ProgramResult result = run("vt_nbtstat", {"-a", "pc11"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput,
              adapters::nodeStatusLayout(kClient, tableOf("PC11"), macOf("10.99.0.11")));
    const std::vector<std::string> log = network().responderLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "broadcast PC11<00> 10.99.0.1"), log.end());
}

TEST_F(AdapterNetworkTest, SystemResolverComesBeforeTheBroadcast) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10", "10.99.0.11 PC11", "10.99.0.12 PROFS"}));
    std::string error;
    ASSERT_TRUE(
        network().setClientHosts("10.99.0.12 salle-des-professeurs-1\n"
                                 "10.99.0.11 pc10\n",
                                 error))
        << error;
    // Longer than a NetBIOS name: only the resolver can find it.
    EXPECT_EQ(run("vt_nbtstat", {"-a", "salle-des-professeurs-1"}).standardOutput,
              adapters::nodeStatusLayout(kClient, tableOf("PROFS"), macOf("10.99.0.12")));
    // The hosts file says pc10 is 10.99.0.11: no broadcast asks for PC10.
    EXPECT_EQ(run("vt_nbtstat", {"-a", "pc10"}).standardOutput,
              adapters::nodeStatusLayout(kClient, tableOf("PC11"), macOf("10.99.0.11")));
    for (const std::string& line : network().responderLog()) {
        EXPECT_EQ(line.rfind("broadcast", 0), std::string::npos) << line;
    }
}

struct ZeroMacCase {
    const char* option;
};

void PrintTo(const ZeroMacCase& c, std::ostream* out) {
    *out << c.option;
}

class AdapterZeroMacTest : public AdapterNetworkTest,
                           public ::testing::WithParamInterface<ZeroMacCase> {};

TEST_P(AdapterZeroMacTest, MacComesFromTheNeighbourEntryOfTheAddress) {
    ASSERT_NO_FATAL_FAILURE(start(1, {std::string("10.99.0.20 SAMBA ") + GetParam().option}));
    const ProgramResult result = run("vt_nbtstat", {"-A", "10.99.0.20"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput,
              adapters::nodeStatusLayout(kClient, tableOf("SAMBA"),
                                         macFromText(network().responderMac())));
}

INSTANTIATE_TEST_SUITE_P(Answers, AdapterZeroMacTest,
                         ::testing::Values(ZeroMacCase{"zeromac"}, ZeroMacCase{"nostats"}));

TEST_F(AdapterNetworkTest, SilentNodeIsAskedOnceMoreAfterOneSecond) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.30 LATE late", "10.99.0.31 MUTE silent"}));
    Clock::time_point start = Clock::now();
    const ProgramResult late = run("vt_nbtstat", {"-A", "10.99.0.30"});
    const double lateSeconds = secondsSince(start);
    EXPECT_EQ(late.exitCode, 0);
    EXPECT_EQ(late.standardOutput,
              adapters::nodeStatusLayout(kClient, tableOf("LATE"), macOf("10.99.0.30")));
    EXPECT_GE(lateSeconds, 1.0);
    EXPECT_LT(lateSeconds, 1.9);

    start = Clock::now();
    const ProgramResult mute = run("vt_nbtstat", {"-A", "10.99.0.31"});
    const double muteSeconds = secondsSince(start);
    EXPECT_EQ(mute.exitCode, 1);
    EXPECT_EQ(mute.standardOutput, adapters::hostNotFoundLayout(kClient));
    EXPECT_EQ(mute.standardError, "");
    EXPECT_GE(muteSeconds, 2.0);
    EXPECT_LT(muteSeconds, 3.0);
}

TEST_F(AdapterNetworkTest, NameNobodyAnswersIsNotFound) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10"}));
    const ProgramResult result = run("vt_nbtstat", {"-a", "ABSENT"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardOutput, adapters::hostNotFoundLayout(kClient));
    // No route at all: found out at once.
    const ProgramResult unreachable = run("vt_nbtstat", {"-A", "192.0.2.77"});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_EQ(unreachable.standardOutput, adapters::hostNotFoundLayout(kClient));
}

// Nothing listens on the name service port of the client's own address, which refuses at
// once as a printer or a PC without file sharing does: not found without the wait, and
// remembered. A remembered address is not asked while its entry lives (PC10 would answer).
TEST_F(AdapterNetworkTest, HostWithoutTheNameServiceIsNotFoundAtOnceAndNotAskedAgain) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10"}));
    const Clock::time_point begin = Clock::now();
    const ProgramResult refused = run("vt_nbtstat", {"-A", NetbiosTestNetwork::clientAddress()});
    EXPECT_LT(secondsSince(begin), 0.2);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.standardOutput, adapters::hostNotFoundLayout(kClient));
    EXPECT_EQ(refused.standardError, "");
    const std::string cache = readBytes("drive_c/vt_nbtsilent.cache").value_or("");
    EXPECT_NE(cache.find(" 10.99.0.1\r\n"), std::string::npos) << cache;

    const std::string lapsed = std::to_string(adapters::unixTimeNow() - 1) + " 10.99.0.10\r\n";
    writeBytes("drive_c/vt_nbtsilent.cache", lapsed);
    EXPECT_EQ(run("vt_nbtstat", {"-A", "10.99.0.10"}).exitCode, 0);
    const std::string live = std::to_string(adapters::unixTimeNow() + 600) + " 10.99.0.10\r\n";
    writeBytes("drive_c/vt_nbtsilent.cache", live);
    const ProgramResult remembered = run("vt_nbtstat", {"-A", "10.99.0.10"});
    EXPECT_EQ(remembered.exitCode, 1);
    EXPECT_EQ(remembered.standardOutput, adapters::hostNotFoundLayout(kClient));
    EXPECT_EQ(network().responderLog().size(), 1u);
}

TEST_F(AdapterNetworkTest, NamesWithMetacharactersAreLeftOutAndReported) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.40 PC&DEL", "10.99.0.41 OK"}));
    const ProgramResult table = run("vt_nbtstat", {"-A", "10.99.0.40"});
    EXPECT_EQ(table.exitCode, 0);
    EXPECT_EQ(table.standardOutput, adapters::nodeStatusLayout(
                                        kClient, {{"COLLEGE", 0x00, true}, {"COLLEGE", 0x1E, true}},
                                        macOf("10.99.0.40")));
    EXPECT_EQ(table.standardError,
              "nbtstat : noms NetBIOS de 10.99.0.40 ignorés (caractères interdits) : PC&DEL "
              "PC&DEL\n");

    const ProgramResult view = run("vt_net", {"view"});
    EXPECT_EQ(view.standardOutput, adapters::serverListLayout({"OK"}));
    EXPECT_NE(view.standardError.find("10.99.0.40"), std::string::npos);
}

TEST_F(AdapterNetworkTest, CacheListsWhatWasLearnedWithItsLifetime) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10", "10.99.0.11 PC11 browser"}));
    ASSERT_EQ(run("vt_nbtstat", {"-A", "10.99.0.10"}).exitCode, 0);
    ASSERT_EQ(run("vt_nbtstat", {"-a", "10.99.0.11"}).exitCode, 0);
    const ProgramResult cache = run("vt_nbtstat", {"-c"});
    EXPECT_EQ(cache.exitCode, 0);
    // Lifetimes are 600 or a second less when a second boundary passed.
    const std::string rows =
        std::regex_replace(cache.standardOutput, std::regex(" (600|599)\r\n"), " LIFE\r\n");
    const std::string expected =
        adapters::remoteCacheLayout(kClient,
                                    {{"PC10", 0x00, false, address("10.99.0.10"), 1},
                                     {"COLLEGE", 0x00, true, address("10.99.0.11"), 1},
                                     {"PC10", 0x20, false, address("10.99.0.10"), 1},
                                     {"COLLEGE", 0x1E, true, address("10.99.0.11"), 1},
                                     {"PC11", 0x00, false, address("10.99.0.11"), 1},
                                     {"PC11", 0x20, false, address("10.99.0.11"), 1},
                                     {"..__MSBROWSE__.", 0x01, true, address("10.99.0.11"), 1}},
                                    0);
    EXPECT_EQ(rows, std::regex_replace(expected, std::regex(" 1\r\n"), " LIFE\r\n"));
}

TEST_F(AdapterNetworkTest, ParallelQueriesLoseNoCachedName) {
    constexpr int kHosts = 24;
    std::vector<std::string> hosts;
    for (int i = 0; i < kHosts; ++i) {
        hosts.push_back("10.99.0." + std::to_string(100 + i) + " HOST" + std::to_string(i));
    }
    ASSERT_NO_FATAL_FAILURE(start(1, hosts));
    std::vector<std::thread> jobs;
    std::vector<int> codes(kHosts, -1);
    for (int i = 0; i < kHosts; ++i) {
        jobs.emplace_back([&, i] {
            codes[i] = run("vt_nbtstat", {"-A", "10.99.0." + std::to_string(100 + i)}).exitCode;
        });
    }
    for (std::thread& job : jobs) {
        job.join();
    }
    EXPECT_EQ(codes, std::vector<int>(kHosts, 0));
    const ProgramResult cache = run("vt_nbtstat", {"-c"});
    for (int i = 0; i < kHosts; ++i) {
        const std::string name = "HOST" + std::to_string(i);
        EXPECT_NE(
            cache.standardOutput.find("    " + name + std::string(15 - name.size(), ' ') +
                                      "<20>  UNIQUE          10.99.0." + std::to_string(100 + i)),
            std::string::npos)
            << name;
    }
}

TEST_F(AdapterNetworkTest, NetViewListsTheFileServersInNameOrder) {
    ASSERT_NO_FATAL_FAILURE(
        start(1, {"10.99.0.10 SALLE1-02", "10.99.0.11 CDI-01", "10.99.0.12 POSTE-WS nosrv",
                  "10.99.0.13 MUET-1 silent", "10.99.0.14 MUET-2 silent",
                  "10.99.0.15 MUET-3 silent", "10.99.0.16 SRV-SCRIBE zeromac"}));
    const Clock::time_point begin = Clock::now();
    const ProgramResult view = run("vt_net", {"view"});
    const double seconds = secondsSince(begin);
    EXPECT_EQ(view.exitCode, 0);
    EXPECT_EQ(view.standardError, "");
    EXPECT_EQ(view.standardOutput, "Nom du serveur            Remarque\r\n\r\n" +
                                       std::string(79, '-') +
                                       "\r\n"
                                       "\\\\CDI-01                  \r\n"
                                       "\\\\SALLE1-02               \r\n"
                                       "\\\\SRV-SCRIBE              \r\n"
                                       "La commande s'est termin\xE9"
                                       "e correctement.\r\n\r\n");
    // At most a second for the answers to the broadcast, two for the silent nodes, asked
    // together: one after another they would take six.
    EXPECT_LT(seconds, 5.0);
    const std::vector<std::string> log = network().responderLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "broadcast *<00> 10.99.0.1"), 1);

    // The names are in the cache for nbtstat -c.
    const ProgramResult cache = run("vt_nbtstat", {"-c"});
    EXPECT_NE(cache.standardOutput.find("POSTE-WS       <00>  UNIQUE          10.99.0.12"),
              std::string::npos);
}

TEST_F(AdapterNetworkTest, NetViewBroadcastsOncePerNetworkAndStopsListeningWhenAnswersStop) {
    ASSERT_NO_FATAL_FAILURE(start(2, {"10.99.0.10 PC-A", "10.98.0.10 PC-B"}));
    const Clock::time_point begin = Clock::now();
    const ProgramResult view = run("vt_net", {"view"});
    // Both answer at once: the window closes 300 ms after them, not at its full second.
    EXPECT_LT(secondsSince(begin), 0.8);
    EXPECT_EQ(view.standardOutput, adapters::serverListLayout({"PC-A", "PC-B"}));
    const std::vector<std::string> log = network().responderLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "broadcast *<00> 10.99.0.1"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "broadcast *<00> 10.98.0.1"), 1);
}

TEST_F(AdapterNetworkTest, NetViewWithNoServer) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.12 POSTE-WS nosrv"}));
    const ProgramResult view = run("vt_net", {"VIEW"});
    EXPECT_EQ(view.exitCode, 0);
    EXPECT_EQ(view.standardOutput, adapters::serverListLayout({}));
}

TEST_F(AdapterNetworkTest, WithoutANetworkOrAnAddressTheAdaptersSaySoAndPrintNothing) {
    ASSERT_NO_FATAL_FAILURE(start(0, {}));
    const ProgramResult view = run("vt_net", {"view"});
    EXPECT_EQ(view.exitCode, 3);
    EXPECT_EQ(view.standardOutput, "");
    EXPECT_EQ(view.standardError, "net : aucun réseau IPv4 local (hors bouclage)\n");

    std::string error;
    ASSERT_TRUE(network().ipInClient({"addr", "flush", "dev", "lo"}, error)) << error;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-c"}, std::vector<std::string>{"-A", "10.99.0.10"}}) {
        const ProgramResult nbtstat = run("vt_nbtstat", arguments);
        EXPECT_EQ(nbtstat.exitCode, 3);
        EXPECT_EQ(nbtstat.standardOutput, "");
        EXPECT_EQ(nbtstat.standardError, "nbtstat : aucune adresse IPv4 locale\n");
    }
}

class AdapterArpTest : public AdapterNetworkTest {
protected:
    void addNeighbour(const std::string& entry) {
        std::string error;
        std::vector<std::string> arguments{"neigh", "add"};
        for (std::size_t at = 0, next; at < entry.size(); at = next + 1) {
            next = entry.find(' ', at);
            next = next == std::string::npos ? entry.size() : next;
            arguments.push_back(entry.substr(at, next - at));
        }
        arguments.insert(arguments.end(), {"dev", NetbiosTestNetwork::clientInterface()});
        ASSERT_TRUE(network().ipInClient(arguments, error)) << error;
    }

    std::string clientIndexInHex() {
        const ProgramResult index = network().runInClient(
            {"/bin/cat", "/sys/class/net/" + NetbiosTestNetwork::clientInterface() + "/ifindex"});
        std::ostringstream hex;
        hex << std::hex << std::stoi(index.standardOutput);
        return hex.str();
    }
};

TEST_F(AdapterArpTest, NeighbourStatesAsWindowsTypes) {
    ASSERT_NO_FATAL_FAILURE(start(1, {}));
    for (const char* entry :
         {"10.99.0.51 lladdr 02:00:00:00:00:51 nud stale",
          "10.99.0.50 lladdr 02:00:00:00:00:50 nud permanent",
          "10.99.0.52 lladdr 02:00:00:00:00:52 nud reachable", "10.99.0.53 nud failed",
          "10.99.0.54 nud incomplete", "10.99.0.55 lladdr 02:00:00:00:00:55 nud probe",
          "224.0.0.22 lladdr 01:00:5e:00:00:16 nud noarp",
          "10.99.0.255 lladdr ff:ff:ff:ff:ff:ff nud permanent"}) {
        ASSERT_NO_FATAL_FAILURE(addNeighbour(entry));
    }
    const ProgramResult arp = run("vt_arp", {"-a"});
    EXPECT_EQ(arp.exitCode, 0);
    EXPECT_EQ(arp.standardError, "");
    EXPECT_EQ(arp.standardOutput, "\r\nInterface : 10.99.0.1 --- 0x" + clientIndexInHex() +
                                      "\r\n"
                                      "  Adresse Internet      Adresse physique      Type\r\n"
                                      "  10.99.0.50            02-00-00-00-00-50     statique\r\n"
                                      "  10.99.0.51            02-00-00-00-00-51     dynamique\r\n"
                                      "  10.99.0.52            02-00-00-00-00-52     dynamique\r\n"
                                      "  10.99.0.55            02-00-00-00-00-55     dynamique\r\n"
                                      "  10.99.0.255           ff-ff-ff-ff-ff-ff     statique\r\n"
                                      "  224.0.0.22            01-00-5e-00-00-16     statique\r\n"
                                      "\r\n");

    const ProgramResult one = run("vt_arp", {"-g", "10.99.0.51", "-N", "10.99.0.1"});
    EXPECT_EQ(one.standardOutput, "\r\nInterface : 10.99.0.1 --- 0x" + clientIndexInHex() +
                                      "\r\n"
                                      "  Adresse Internet      Adresse physique      Type\r\n"
                                      "  10.99.0.51            02-00-00-00-00-51     dynamique\r\n"
                                      "\r\n");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-a", "10.99.0.53"},
          std::vector<std::string>{"-a", "-N", "10.99.0.7"}}) {
        const ProgramResult none = run("vt_arp", arguments);
        EXPECT_EQ(none.exitCode, 0);
        EXPECT_EQ(none.standardOutput, adapters::noArpEntryLayout());
    }
}

TEST_F(AdapterArpTest, EmptyTable) {
    ASSERT_NO_FATAL_FAILURE(start(1, {}));
    const ProgramResult arp = run("vt_arp", {"-a"});
    EXPECT_EQ(arp.exitCode, 0);
    EXPECT_EQ(arp.standardOutput, adapters::noArpEntryLayout());
}

// The batch lines the system writes, run by vt_cmd, reach the adapters with their
// redirections.
TEST_F(AdapterNetworkTest, SystemBatchLinesThroughVtCmd) {
    ASSERT_NO_FATAL_FAILURE(start(1, {"10.99.0.10 PC10", "10.99.0.11 PC11"}));
    writeBytes("drive_c/jobs.bat",
               "net view > c:\\netview3.txt\r\n"
               "nbtstat -a PC10 >c:\\nbtstat12.txt\r\n"
               "command.com /c nbtstat -a 10.99.0.11 > c:\\nbtstat.txt\r\n"
               "cmd.exe /c nbtstat -c > c:\\nbtcache.txt\r\n"
               "cmd.exe /c arp -a > c:\\arpcache.txt\r\n");
    const ProgramResult batch = network().runInClient({tool("vt_cmd"), "c:\\jobs.bat"});
    EXPECT_EQ(batch.exitCode, 0) << batch.standardError;
    EXPECT_EQ(readBytes("drive_c/netview3.txt"), adapters::serverListLayout({"PC10", "PC11"}));
    EXPECT_EQ(readBytes("drive_c/nbtstat12.txt"),
              adapters::nodeStatusLayout(kClient, tableOf("PC10"), macOf("10.99.0.10")));
    EXPECT_EQ(readBytes("drive_c/nbtstat.txt"),
              adapters::nodeStatusLayout(kClient, tableOf("PC11"), macOf("10.99.0.11")));
    EXPECT_NE(
        readBytes("drive_c/nbtcache.txt").value_or("").find("    PC11           <00>  UNIQUE"),
        std::string::npos);
    EXPECT_TRUE(std::regex_search(readBytes("drive_c/arpcache.txt").value_or(""),
                                  std::regex("  10\\.99\\.0\\.10            [0-9a-f-]{17}     "
                                             "dynamique\r\n")));
}

}  // namespace
}  // namespace vt::test
