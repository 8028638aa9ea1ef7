// What "net view" costs against a network of 250 file servers, beside the same 250 machines
// asked for their node status one after another. Run by hand, as root:
//   build/tests/vt_net_benchmark [SILENT [PROGRAM_FOLDER [DRIVE_C_PARENT]]]
// (DRIVE_C_PARENT /dev/shm keeps the name cache in memory, to see what its disk writes cost)
// It makes network namespaces of its own (vtnb-*) with the responder helper answering for
// 250 addresses, enters the client namespace itself, and measures:
//   - vt_net view, the whole program: the wildcard broadcast, the window for its answers
//     (closed once they pause), then the node status of every answering node, all at once;
//   - 250 runs of vt_nbtstat -A, one after another, as a program asking machine by machine
//     would, then all at once, as the nbtstat jobs of a room do, each updating the name
//     cache under its lock;
//   - inside one process, the node status of the 250 addresses asked together (the step that
//     follows the broadcast) and one after another.

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/netbios_test_network.h"
#include "tests/support/program_run.h"
#include "tools/adapters/name_service_client.h"

namespace {

namespace fs = std::filesystem;
using Milliseconds = std::chrono::duration<double, std::milli>;
using vt::adapters::Ipv4Address;

constexpr int kHosts = 250;
constexpr int kRounds = 3;

std::string hostAddress(int i) {
    return "10.99.0." + std::to_string(2 + i);
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Milliseconds(std::chrono::steady_clock::now() - start).count();
}

// The best of a few rounds: the least disturbed by whatever else the machine does.
double bestOf(int rounds, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        best = std::min(best, millisecondsOf(work));
    }
    return best;
}

bool enterNamespace(const std::string& name) {
    const int fd = ::open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    const bool entered = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return entered;
}

}  // namespace

int main(int argc, char** argv) {
    const int silent = argc > 1 ? std::clamp(std::atoi(argv[1]), 0, kHosts) : 0;
    if (const std::string reason = vt::test::NetbiosTestNetwork::unavailableReason();
        !reason.empty()) {
        std::fprintf(stderr, "vt_net_benchmark: %s\n", reason.c_str());
        return 1;
    }
    vt::test::NetbiosTestNetwork network;
    std::vector<std::string> hosts;
    std::vector<Ipv4Address> addresses;
    // The silent machines are spread evenly over the addresses.
    const int spacing = kHosts / std::max(silent, 1);
    for (int i = 0; i < kHosts; ++i) {
        const bool isSilent = silent > 0 && i % spacing == 0 && i / spacing < silent;
        hosts.push_back(hostAddress(i) + " SRV" + std::to_string(i) + (isSilent ? " silent" : ""));
        addresses.push_back(*vt::adapters::parseIpv4(hostAddress(i)));
    }
    std::string error;
    if (!network.create(1, error) || !network.startResponder(hosts, error) ||
        !enterNamespace(network.clientNamespace())) {
        std::fprintf(stderr, "vt_net_benchmark: %s\n",
                     error.empty() ? "setns failed" : error.c_str());
        return 1;
    }
    const fs::path driveC = (argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path()) /
                            ("vtnb-bench-" + std::to_string(::getpid()));
    fs::create_directories(driveC);
    ::setenv("VANTOREL_DRIVE_C", driveC.c_str(), 1);

    // Another folder measures other builds of the programs, e.g. those of an earlier commit.
    const std::string bin = argc > 2 ? argv[2] : VT_BIN_DIR;
    std::size_t listed = 0;
    const double netView = bestOf(kRounds, [&] {
        const vt::test::ProgramResult view = vt::test::runProgram({bin + "/vt_net", "view"});
        listed = static_cast<std::size_t>(
            std::count(view.standardOutput.begin(), view.standardOutput.end(), '\\') / 2);
    });
    int found = 0;
    const double oneByOne = millisecondsOf([&] {
        found = 0;
        for (int i = 0; i < kHosts; ++i) {
            found +=
                vt::test::runProgram({bin + "/vt_nbtstat", "-A", hostAddress(i)}).exitCode == 0;
        }
    });
    std::atomic<int> foundAtOnce = 0;
    const double atOnce = millisecondsOf([&] {
        std::vector<std::jthread> jobs;
        for (int i = 0; i < kHosts; ++i) {
            jobs.emplace_back([&, i] {
                foundAtOnce +=
                    vt::test::runProgram({bin + "/vt_nbtstat", "-A", hostAddress(i)}).exitCode == 0;
            });
        }
    });

    auto socket = vt::adapters::NameServiceSocket::open(error);
    if (!socket) {
        std::fprintf(stderr, "vt_net_benchmark: %s\n", error.c_str());
        return 1;
    }
    std::size_t answeredTogether = 0;
    const double together = bestOf(kRounds, [&] {
        const auto statuses = vt::adapters::queryNodeStatuses(*socket, addresses);
        answeredTogether = static_cast<std::size_t>(std::count_if(
            statuses.begin(), statuses.end(), [](const auto& s) { return s.has_value(); }));
    });
    std::size_t answeredInTurn = 0;
    const double inTurn = bestOf(silent > 0 ? 1 : kRounds, [&] {
        answeredInTurn = 0;
        for (const Ipv4Address address : addresses) {
            answeredInTurn +=
                vt::adapters::queryNodeStatuses(*socket, {address}).front().has_value();
        }
    });

    std::printf("%d file servers on one network, %d of them silent (best of %d rounds)\n", kHosts,
                silent, kRounds);
    std::printf("  vt_net view, whole program            %9.1f ms  (%zu servers listed)\n", netView,
                listed);
    std::printf("  250 x vt_nbtstat -A, one after another %9.1f ms  (%d found, %.1f ms each)\n",
                oneByOne, found, oneByOne / kHosts);
    std::printf("  250 x vt_nbtstat -A, all at once       %9.1f ms  (%d found)\n", atOnce,
                foundAtOnce.load());
    std::printf("  node status of 250, asked together     %9.1f ms  (%zu answered)\n", together,
                answeredTogether);
    std::printf("  node status of 250, one after another  %9.1f ms  (%zu answered)\n", inTurn,
                answeredInTurn);
    fs::remove_all(driveC);
    return 0;
}
