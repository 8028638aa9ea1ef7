// How long vt_echo takes for a list of 200 hosts, beside the sum of their time-outs and beside
// the same list pinged one host after another. Run by hand:
//   build/tests/vt_echo_benchmark
// The list holds 100 loopback addresses, which answer, and 100 names that do not resolve.
// Run as root, it measures in a network namespace of its own, so that no packet, not even a
// name lookup, leaves the machine; and a second time in one whose loopback ignores echo
// requests, so that the 100 addresses are really sent to and really time out. Without root it
// measures on the machine's own network, where the lookups of the unresolvable names go to
// the name server and may well take longer than all the rest.

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
constexpr const char* kUnshare = "/usr/bin/unshare";

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

int measure(const std::string& title) {
    const std::vector<std::string> hosts = benchmarkHosts();
    const fs::path directory =
        fs::temp_directory_path() / ("vt-echo-bench-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    const fs::path listFile = directory / "hosts.txt";
    const fs::path resultFile = directory / "result.txt";
    {
        std::ofstream out(listFile, std::ios::binary);
        for (const std::string& host : hosts) {
            out << host << "\r\n";
        }
    }

    const std::string vtEcho = std::string(VT_BIN_DIR) + "/vt_echo";
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
    if (flag == kSilentFlag) {
        return measure("Bouclage muet : l'écho y est ignoré (espace de noms propre) :");
    }
    if (!measureInOwnNetwork("", kOwnFlag)) {
        std::printf("(pas d'espace de noms réseau propre : mesure sur le réseau de la machine)\n");
        return measure("Bouclage qui répond, noms introuvables :");
    }
    return measureInOwnNetwork("sysctl -qw net.ipv4.icmp_echo_ignore_all=1 && ", kSilentFlag) ? 0
                                                                                              : 1;
}
