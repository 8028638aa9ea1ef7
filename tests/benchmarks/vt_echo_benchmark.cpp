// How long vt_echo takes for a list of 200 hosts, beside the sum of their time-outs and beside
// the same list pinged one host after another. Run by hand:
//   build/tests/vt_echo_benchmark
// The list holds 100 loopback addresses, which answer, and 100 names that do not resolve.
// Run as root, it measures in a network namespace of its own, so that no packet, not even a
// name lookup, leaves the machine; and a second time in one whose loopback ignores echo
// requests, so that the 100 addresses are really sent to and really time out. Without root it
// measures on the machine's own network, where the lookups of the unresolvable names go to
// the name server and may well take longer than all the rest.
//
// As root it then measures two lists on a network of its own where 10.78.0.0/16 answers and
// 10.77.0.0/16 is a link where nobody answers address resolution:
// - 8,000 entries, one in ten silent: the time, and how many answering hosts came out "=1";
// - the group ping refresh, one run per group, 255 groups of 64 dotted addresses: the time
//   and the processor time of all runs, beside fping run the same way where it is installed.
// VT_ECHO_PROGRAM names another build of vt_echo to measure in place of this one (an earlier
// one, to compare).

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/native_platform.h"
#include "tests/support/program_run.h"
#include "tools/echo/raw_ping.h"

namespace {

namespace fs = std::filesystem;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kLoopbackHosts = 100;
constexpr int kUnresolvableHosts = 100;
constexpr const char* kOwnFlag = "--own-network";
constexpr const char* kSilentFlag = "--silent-network";
constexpr const char* kLargeListsFlag = "--large-lists";
constexpr const char* kUnshare = "/usr/bin/unshare";
constexpr const char* kFping = "/usr/bin/fping";
constexpr int kLargeListEntries = 8000;
constexpr int kGroups = 255;
constexpr int kGroupSize = 64;
constexpr const char* kLargeListsNetwork =
    "ip link add va type veth peer name vb && ip addr add 10.77.0.1/16 dev va && "
    "ip link set va up && ip link set vb up && ip route add local 10.78.0.0/16 dev lo && ";

std::string vtEchoProgram() {
    const char* other = std::getenv("VT_ECHO_PROGRAM");
    return other != nullptr && *other != '\0' ? other : std::string(VT_BIN_DIR) + "/vt_echo";
}

std::vector<std::string> benchmarkHosts() {
    std::vector<std::string> hosts;
    for (int i = 0; i < kLoopbackHosts; ++i) {
        hosts.push_back("127.20." + std::to_string(i / 50) + "." + std::to_string(i % 50 + 1));
        hosts.push_back("absent-" + std::to_string(i) + ".invalid");
    }
    hosts.resize(kLoopbackHosts + kUnresolvableHosts);
    return hosts;
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Milliseconds(std::chrono::steady_clock::now() - start).count();
}

int answeredCount(const std::vector<std::string>& lines) {
    int count = 0;
    for (const std::string& line : lines) {
        count += line.ends_with("=1") ? 1 : 0;
    }
    return count;
}

std::string programDirectory() {
    std::error_code ignored;
    return fs::read_symlink("/proc/self/exe", ignored).parent_path().string();
}

fs::path benchmarkDirectory() {
    const fs::path directory =
        fs::temp_directory_path() / ("vt-echo-bench-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    return directory;
}

void writeList(const fs::path& file, const std::vector<std::string>& hosts) {
    std::ofstream out(file, std::ios::binary);
    for (const std::string& host : hosts) {
        out << host << "\r\n";
    }
}

int measure(const std::string& title) {
    const std::vector<std::string> hosts = benchmarkHosts();
    const fs::path directory = benchmarkDirectory();
    const fs::path listFile = directory / "hosts.txt";
    const fs::path resultFile = directory / "result.txt";
    writeList(listFile, hosts);

    const std::string vtEcho = vtEchoProgram();
    vt::test::ProgramResult run;
    const double programTime = millisecondsOf([&] {
        run = vt::test::runProgram({vtEcho, listFile.string(), resultFile.string()});
    });
    std::vector<std::string> programLines;
    {
        std::ifstream in(resultFile, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            programLines.push_back(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
        }
    }

    const auto native = vt::platform::createNativePlatform();
    const vt::platform::Network& network = native->platform().network;
    const vt::echo::Resolver resolve = [&network](const std::string& host) {
        return network.resolveIpv4(host);
    };
    std::vector<std::string> sequentialLines;
    const double sequentialTime =
        millisecondsOf([&] { sequentialLines = vt::echo::pingOneAfterAnother(hosts, resolve); });

    const double timeouts =
        static_cast<double>(hosts.size()) * static_cast<double>(vt::echo::kEchoTimeout.count());
    std::printf("%s\n", title.c_str());
    std::printf("  vt_echo, %zu hôtes ensemble      : %8.1f ms (code %d, %d ont répondu)\n",
                hosts.size(), programTime, run.exitCode, answeredCount(programLines));
    std::printf("  somme des délais (%zu x %lld ms)  : %8.1f ms\n", hosts.size(),
                static_cast<long long>(vt::echo::kEchoTimeout.count()), timeouts);
    std::printf("  un hôte après l'autre            : %8.1f ms (%d ont répondu)\n", sequentialTime,
                answeredCount(sequentialLines));
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    return run.exitCode == 0 && programLines.size() == hosts.size() ? 0 : 1;
}

// The lines of a result file that end in "=1" and name an answering host (10.78.x.y).
int answeringHostsAnswered(const fs::path& resultFile) {
    std::ifstream in(resultFile, std::ios::binary);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        count += line.starts_with("10.78.") && line.ends_with("=1\r") ? 1 : 0;
    }
    return count;
}

double childProcessorMilliseconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// One run per group file, as the refresh of every group's lights does it.
void measureGroupRuns(const char* name, const std::vector<fs::path>& groups,
                      const std::function<std::vector<std::string>(const fs::path&)>& command) {
    const double processorBefore = childProcessorMilliseconds();
    const double wall = millisecondsOf([&] {
        for (const fs::path& group : groups) {
            vt::test::runProgram(command(group));
        }
    });
    std::printf("  %-10s : %8.1f ms, processeur %8.1f ms\n", name, wall,
                childProcessorMilliseconds() - processorBefore);
}

int measureLargeLists() {
    const fs::path directory = benchmarkDirectory();
    std::vector<std::string> hosts;
    int answering = 0;
    for (int i = 0; i < kLargeListEntries; ++i) {
        const int k = i / 10;
        const bool silent = i % 10 == 9;
        answering += silent ? 0 : 1;
        hosts.push_back(
            silent ? "10.77." + std::to_string(1 + k / 250) + "." + std::to_string(k % 250 + 1)
                   : "10.78." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1));
    }
    writeList(directory / "large.txt", hosts);
    const fs::path result = directory / "result.txt";
    const double time = millisecondsOf([&] {
        vt::test::runProgram(
            {vtEchoProgram(), (directory / "large.txt").string(), result.string()});
    });
    std::printf("%d entrées, une sur dix muette sur le lien local (espace de noms propre) :\n",
                kLargeListEntries);
    std::printf("  vt_echo : %8.1f ms, %d sur %d hôtes qui répondent à =1\n", time,
                answeringHostsAnswered(result), answering);

    std::vector<fs::path> groups;
    for (int g = 0; g < kGroups; ++g) {
        std::vector<std::string> group;
        for (int m = 1; m <= kGroupSize; ++m) {
            group.push_back("10.78." + std::to_string(g) + "." + std::to_string(m));
        }
        groups.push_back(directory / ("groupe" + std::to_string(g) + ".txt"));
        writeList(groups.back(), group);
    }
    std::printf("Rafraîchissement des groupes, un passage par groupe, %d groupes de %d :\n",
                kGroups, kGroupSize);
    measureGroupRuns("vt_echo", groups, [&](const fs::path& group) {
        return std::vector<std::string>{vtEchoProgram(), group.string(), result.string()};
    });
    if (fs::exists(kFping)) {
        measureGroupRuns("fping -i0", groups, [](const fs::path& group) {
            return std::vector<std::string>{kFping, "-q", "-i1",         "-r0",
                                            "-t10", "-f", group.string()};
        });
    }
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    return 0;
}

// Runs this program again in a network namespace of its own; false when none can be made.
bool measureInOwnNetwork(const std::string& setUp, const char* flag) {
    if (::geteuid() != 0 || !fs::exists(kUnshare)) {
        return false;
    }
    const std::string self = programDirectory() + "/vt_echo_benchmark";
    const std::string script = "ip link set lo up && " + setUp + "exec '" + self + "' " + flag;
    const vt::test::ProgramResult run =
        vt::test::runProgram({kUnshare, "-n", "/bin/sh", "-c", script}, std::chrono::minutes(2));
    std::fputs(run.standardOutput.c_str(), stdout);
    std::fputs(run.standardError.c_str(), stderr);
    return run.exitCode == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string flag = argc > 1 ? argv[1] : "";
    if (flag == kOwnFlag) {
        return measure("Bouclage qui répond, noms introuvables (espace de noms propre) :");
    }
    if (flag == kLargeListsFlag) {
        return measureLargeLists();
    }
    if (flag == kSilentFlag) {
        return measure("Bouclage muet : l'écho y est ignoré (espace de noms propre) :");
    }
    if (!measureInOwnNetwork("", kOwnFlag)) {
        std::printf("(pas d'espace de noms réseau propre : mesure sur le réseau de la machine)\n");
        return measure("Bouclage qui répond, noms introuvables :");
    }
    const bool silent =
        measureInOwnNetwork("sysctl -qw net.ipv4.icmp_echo_ignore_all=1 && ", kSilentFlag);
    return measureInOwnNetwork(kLargeListsNetwork, kLargeListsFlag) && silent ? 0 : 1;
}
