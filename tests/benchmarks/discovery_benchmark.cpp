// How long the discovery window's bulk work takes. Run by hand:
//   build/tests/discovery_benchmark [router]
// 1. The CSV method on an export of 5,000 machines into 200 groups (4,500 filed under their
//    group, 500 under "Autres", whose file already lists 1,000 machines of which half are
//    grouped), with its two clean-ups of "Autres", as "Lancer l'analyse" runs it.
// 2. The ping refresh of 200 groups of 30 machines, until the last LED is set: once with the
//    results written at once (the program's own share), once with the real vt_cmd and vt_echo
//    pinging loopback addresses (127.0.g.m), as the scheduler runs it.
// 3. The IPR method's analysis of a router page of 10,000 and of 100,000 leases (nine in ten
//    under the 200 groups, the others under "Autres", one in fifty with a name the lists
//    already hold), from the stored page to the written lists, and what reaches the console.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "core/text_file.h"
#include "discovery/net_scan.h"
#include "discovery/router_methods.h"
#include "platform/native_platform.h"
#include "tests/support/fakes.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;
using namespace std::chrono_literals;

// Milliseconds of this process's own processor time, without the waits for the disk.
double cpuMilliseconds() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

constexpr int kGroups = 200;
constexpr int kCsvMachines = 5000;
constexpr int kRefreshMachines = 30;

std::string groupName(int g) {
    char name[16];
    std::snprintf(name, sizeof name, "SALLE-%03d", g);
    return name;
}

struct Bench {
    explicit Bench(const fs::path& root) {
        fs::remove_all(root);
        fs::create_directories(root / "data");
        fs::create_directories(root / "drive_c");
        vt::platform::PlatformConfig config;
        config.driveCRoot = (root / "drive_c").string();
        config.toolsDirectory = VT_BIN_DIR;
        native = vt::platform::createNativePlatform(config);
        native->platform().system.setWorkingDirectory((root / "data").string());
        state.DataDir = (root / "data").string() + "/";
        for (int g = 0; g < kGroups; ++g) {
            state.GroupList.push_back(groupName(g));
        }
        state.GroupList.push_back("Autres");
    }
    vt::platform::Platform recording() {
        const vt::platform::Platform& real = native->platform();
        return vt::platform::Platform{real.files, processes, real.network, real.system};
    }
    vt::platform::FileSystem& files() { return native->platform().files; }

    std::unique_ptr<vt::platform::NativePlatform> native;
    vt::VtlVar state;
    vt::test::RecordingConsole console;
    vt::test::RecordingStatus status;
    vt::test::ManualTimers timers;
    vt::test::ManualClock clock;
    vt::test::RecordingProcesses processes;
    vt::test::RecordingHttpClient http;
};

void csvImport(const fs::path& root) {
    Bench bench(root);
    vt::platform::Platform platform = bench.recording();
    const vt::Services services{platform, bench.console, bench.status, bench.timers, bench.clock};
    std::vector<std::string> csv{"Nom,Machine,IP,MAC"};
    for (int i = 0; i < kCsvMachines; ++i) {
        const std::string machine = i < kCsvMachines * 9 / 10
                                        ? groupName(i % kGroups) + "-pc" + std::to_string(i)
                                        : "poste-" + std::to_string(i);
        csv.push_back(std::to_string(i) + "," + machine + ",10.0.0.1,00:11:22:33:44:55");
    }
    std::vector<std::string> others;
    for (int i = 0; i < 1000; ++i) {
        others.push_back(i % 2 == 0 ? groupName(i % kGroups) + "-PC" + std::to_string(i)
                                    : "ANCIEN-" + std::to_string(i));
    }
    vt::saveTextLines(bench.files(), bench.state.DataDir + "export.csv", csv);
    vt::saveTextLines(bench.files(), bench.state.DataDir + "Autres", others);
    for (int g = 0; g < kGroups; ++g) {
        vt::saveTextLines(bench.files(), bench.state.DataDir + groupName(g), {});
    }

    vt::discovery::BackgroundJobs jobs(bench.state, services);
    vt::discovery::NetScan scan(bench.state, services, jobs, bench.http, bench.http, nullptr);
    const auto start = Clock::now();
    const double cpuStart = cpuMilliseconds();
    scan.Button1Click({vt::discovery::kCsvMethod, bench.state.DataDir + "export.csv", ""});
    const double wall = Milliseconds(Clock::now() - start).count();
    std::printf(
        "CSV import, %d machines into %d groups, with the clean-ups: %7.1f ms (cpu %6.1f ms; "
        "Autres now %zu lines, %zu status texts)\n",
        kCsvMachines, kGroups, wall, cpuMilliseconds() - cpuStart,
        vt::loadTextLines(bench.files(), bench.state.DataDir + "Autres").size(),
        bench.status.texts.size());
}

void writeRefreshGroups(Bench& bench) {
    for (int g = 0; g < kGroups; ++g) {
        std::vector<std::string> machines;
        for (int m = 1; m <= kRefreshMachines; ++m) {
            machines.push_back("127.0." + std::to_string(g) + "." + std::to_string(m));
        }
        vt::saveTextLines(bench.files(), bench.state.DataDir + groupName(g), machines);
    }
}

void pingRefreshHandlers(const fs::path& root) {
    Bench bench(root);
    writeRefreshGroups(bench);
    vt::platform::Platform platform = bench.recording();
    const vt::Services services{platform, bench.console, bench.status, bench.timers, bench.clock};
    vt::discovery::BackgroundJobs jobs(bench.state, services);
    vt::discovery::NetScan scan(bench.state, services, jobs, bench.http, bench.http, nullptr);
    int leds = 0;
    scan.setGroupLed([&leds](std::size_t, bool) { ++leds; });

    auto start = Clock::now();
    double cpuStart = cpuMilliseconds();
    scan.Ping_MAJ();
    const double launched = Milliseconds(Clock::now() - start).count();
    const double launchedCpu = cpuMilliseconds() - cpuStart;
    for (int n = 0; n < kGroups; ++n) {
        std::vector<std::string> results;
        for (int m = 1; m <= kRefreshMachines; ++m) {
            results.push_back("127.0." + std::to_string(n) + "." + std::to_string(m) +
                              (m == n % kRefreshMachines ? "=1" : "=0"));
        }
        vt::saveTextLines(bench.files(), "c:\\ping" + std::to_string(n) + ".txt", results);
        bench.files().setReadOnly("c:\\" + std::to_string(n) + ".mark", false);
    }
    start = Clock::now();
    cpuStart = cpuMilliseconds();
    bench.timers.advance(200ms);
    const double handlers = Milliseconds(Clock::now() - start).count();
    std::printf(
        "Ping refresh, %d groups of %d, results at once: launch %6.1f ms (cpu %5.1f ms), "
        "handlers %6.1f ms (cpu %5.1f ms), %d LEDs set\n",
        kGroups, kRefreshMachines, launched, launchedCpu, handlers, cpuMilliseconds() - cpuStart,
        leds);
}

void pingRefreshForReal(const fs::path& root) {
    Bench bench(root);
    writeRefreshGroups(bench);
    fs::create_symlink(VT_BIN_DIR "/vt_echo", root / "data" / "vt_echo");
    const vt::Services services{bench.native->platform(), bench.console, bench.status, bench.timers,
                                bench.clock};
    vt::discovery::BackgroundJobs jobs(bench.state, services);
    vt::discovery::NetScan scan(bench.state, services, jobs, bench.http, bench.http, nullptr);
    int leds = 0;
    int green = 0;
    scan.setGroupLed([&](std::size_t, bool answered) {
        ++leds;
        green += answered ? 1 : 0;
    });

    const auto start = Clock::now();
    scan.Ping_MAJ();
    // The poll timers run in real time, as the program's would.
    while (leds < kGroups && Clock::now() - start < 60s) {
        std::this_thread::sleep_for(20ms);
        bench.timers.advance(20ms);
    }
    std::printf(
        "Ping refresh, %d groups of %d, real vt_cmd and vt_echo on loopback: last LED "
        "after %7.1f ms (%d set, %d green)\n",
        kGroups, kRefreshMachines, Milliseconds(Clock::now() - start).count(), leds, green);
}

std::vector<std::string> routerPage(int leases) {
    std::vector<std::string> page{"<html><body>", "<h2>Baux dhcp</h2>",   "<table border=\"1\">",
                                  "<tr>",         "<th>N</th>",           "<th>Adresse IP</th>",
                                  "<th>Nom</th>", "<th>Adresse MAC</th>", "</tr>"};
    for (int i = 0; i < leases; ++i) {
        // One lease in fifty names a machine of the lists under another address.
        const int machine = i % 50 == 49 ? i - 49 : i;
        const std::string name =
            machine % 10 != 9 ? groupName(machine % kGroups) + "-PC" + std::to_string(machine)
                              : "poste-" + std::to_string(machine);
        char address[32];
        std::snprintf(address, sizeof address, "10.%d.%d.%d", i >> 16, (i >> 8) & 255, i & 255);
        char mac[32];
        std::snprintf(mac, sizeof mac, "00:11:22:%02x:%02x:%02x", i >> 16, (i >> 8) & 255, i & 255);
        page.insert(page.end(),
                    {"<tr>", "<td>" + std::to_string(i + 1) + "</td>",
                     "<td>" + std::string(address) + "</td>", "<td>" + name + "</td>",
                     "<td>" + std::string(mac) + "</td>", "<td>08/12/2026</td>", "</tr>"});
    }
    page.insert(page.end(), {"</table>", "</body></html>"});
    return page;
}

// What reaches the console window: each call is laid out at once there.
struct CountingConsole : vt::Console {
    void appendLine(std::string_view text) override {
        ++calls;
        lines += 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    std::size_t calls = 0;
    std::size_t lines = 0;
};

void routerPageAnalysis(const fs::path& root, int leases) {
    Bench bench(root);
    vt::platform::Platform platform = bench.recording();
    CountingConsole console;
    const vt::Services services{platform, console, bench.status, bench.timers, bench.clock};
    for (int g = 0; g < kGroups; ++g) {
        vt::saveTextLines(bench.files(), bench.state.DataDir + groupName(g), {});
    }
    vt::saveTextLines(bench.files(), bench.state.DataDir + "http.txt", routerPage(leases));
    vt::discovery::RouterMethods methods(bench.state, services, bench.http, bench.http, nullptr);
    const auto start = Clock::now();
    const double cpuStart = cpuMilliseconds();
    methods.httpDoneFile();
    std::printf(
        "Router page of %6d leases analysed: %7.1f ms (cpu %7.1f ms; %zu IP lines, %zu MAC "
        "lines, Autres %zu lines; console %zu appends, %zu lines)\n",
        leases, Milliseconds(Clock::now() - start).count(), cpuMilliseconds() - cpuStart,
        bench.state.IpList.size(), bench.state.MacList.size(),
        vt::loadTextLines(bench.files(), bench.state.DataDir + "Autres").size(), console.calls,
        console.lines);
}

}  // namespace

// "router" as the argument runs the router page's part alone.
int main(int argc, char** argv) {
    const fs::path root = fs::temp_directory_path() / ("discovery-" + std::to_string(::getpid()));
    if (argc < 2 || std::string(argv[1]) != "router") {
        csvImport(root);
        pingRefreshHandlers(root);
        pingRefreshForReal(root);
    }
    routerPageAnalysis(root, 10000);
    routerPageAnalysis(root, 100000);
    fs::remove_all(root);
    return 0;
}
