// How long the operations that walk every machine of the groups take with large address lists:
// the machine export ("Liste machines -> CSV"), the power-up of a room, and the clean-up of
// "Autres" that follows a "Save". Run by hand:
//   build/tests/machine_lists_benchmark
// Address lists of 16,384 and 100,000 lines; 300 rooms of 30 machines plus an "Autres" of
// 50,000 or 100,000 lines for the export; the clean-up after saving a room of 30 machines.
// Last, what a click on a machine's name costs with a large school's inventory exports
// (20,000 machines, about 110 MB): the first sheet reads and indexes them, the next find them
// kept.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/text_file.h"
#include "discovery/clean_autres.h"
#include "platform/native_platform.h"
#include "power/incident_reports.h"
#include "power/power_commands.h"
#include "status/machine_sheet.h"
#include "tests/support/fakes.h"

namespace {

namespace fs = std::filesystem;
using Milliseconds = std::chrono::duration<double, std::milli>;

template <typename Work>
double millisecondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Milliseconds(std::chrono::steady_clock::now() - start).count();
}

std::string machine(int i) {
    return "POSTE-" + std::to_string(i);
}

constexpr int kMachines = 20000;
constexpr int kSoftwarePerMachine = 60;

void writeExports(const fs::path& root) {
    std::ofstream hardware(root / "hardware.ocs", std::ios::binary);
    std::ofstream software(root / "softwares.ocs", std::ios::binary);
    const std::string padding(900, 'x');
    for (int m = 0; m < kMachines; ++m) {
        const std::string id = std::to_string(m);
        hardware << id << ";DEV-" << id << ";POSTE-" << id
                 << ";COLLEGE;COLLEGE;Microsoft Windows 10 Professionnel;10.0;" << padding
                 << ";i5;3000;4;8192;1280;10.0.0.1;;2026-12-01 08:00:00;;0;1;eleve;\r\n";
        for (int s = 0; s < kSoftwarePerMachine; ++s) {
            software << s << ";" << id << ";Editeur;Logiciel numéro " << s
                     << " avec un nom assez long pour peser;1.0;\r\n";
        }
    }
}

void measureInventoryViews(const fs::path& root) {
    fs::create_directories(root);
    writeExports(root);
    const auto megabytes =
        (fs::file_size(root / "hardware.ocs") + fs::file_size(root / "softwares.ocs")) /
        (1024 * 1024);
    auto native = vt::platform::createNativePlatform({});
    vt::platform::Platform& platform = native->platform();
    platform.system.setWorkingDirectory(root.string());
    vt::VtlVar state;
    state.DataDir = root.string() + "/";
    vt::status::InventoryExports exports;
    std::size_t software = 0;
    const double first = millisecondsOf([&] {
        software = fillMachineSheet(state, platform.files, exports, "POSTE-19999").logiciels.size();
    });
    double slowest = 0;
    for (int click = 0; click < 20; ++click) {
        slowest = std::max(slowest, millisecondsOf([&] {
                               fillMachineSheet(state, platform.files, exports,
                                                "POSTE-" + std::to_string(click * 997));
                           }));
    }
    std::printf(
        "inventory exports of %ju MB, %d machines: first sheet %.0f ms (%zu software), "
        "next 20 sheets at most %.1f ms each\n",
        static_cast<std::uintmax_t>(megabytes), kMachines, first, software, slowest);
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / ("lists-" + std::to_string(::getpid()));
    for (const int lines : {16384, 100000}) {
        fs::remove_all(root);
        fs::create_directories(root);
        vt::platform::PlatformConfig config;
        config.driveCRoot = (root / "c").string();
        auto native = vt::platform::createNativePlatform(config);
        vt::platform::Platform& platform = native->platform();
        platform.system.setWorkingDirectory(root.string());

        vt::VtlVar state;
        state.DataDir = root.string() + "/";
        state.WolTargetIp = "10.0.255.255";
        for (int i = 0; i < lines; ++i) {
            state.MacList.push_back(machine(i) + " 00-11-22-" + std::to_string(i % 100) + "-44-55");
            state.IpList.push_back(machine(i) + " 10.0." + std::to_string(i / 250 % 256) + "." +
                                   std::to_string(i % 250));
        }
        // The rooms list the last machines of the lists, the ones a scan reaches last.
        for (int g = 0; g < 300; ++g) {
            std::vector<std::string> room;
            for (int m = 0; m < 30; ++m) {
                room.push_back(machine(lines - 1 - (g * 30 + m) % lines));
            }
            state.GroupList.push_back("SALLE" + std::to_string(g));
            vt::saveTextLines(platform.files, state.DataDir + state.GroupList.back(), room);
        }
        std::vector<std::string> others;
        for (int i = 0; i < lines / 2; ++i) {
            others.push_back(machine(i * 2));
        }
        state.GroupList.push_back("Autres");
        vt::saveTextLines(platform.files, state.DataDir + "Autres", others);

        vt::test::RecordingConsole console;
        vt::test::RecordingStatus status;
        vt::test::ManualTimers timers;
        vt::test::ManualClock clock;
        vt::test::RecordingProcesses processes;
        vt::platform::Platform recording{platform.files, processes, platform.network,
                                         platform.system};
        const vt::Services services{recording, console, status, timers, clock};

        const double exportTime =
            millisecondsOf([&] { vt::power::exportMachineList(state, services); });
        vt::power::PowerCommands commands(state, services);
        const double powerUpTime = millisecondsOf([&] { commands.PowerUp("SALLE0"); });
        const double cleanTime =
            millisecondsOf([&] { vt::discovery::CleanAutres(state, platform.files, status); });
        std::printf(
            "address lists of %6d lines, Autres of %6zu: export %7.1f ms, power-up of 30 "
            "%6.1f ms, clean-up of Autres %7.1f ms\n",
            lines, others.size(), exportTime, powerUpTime, cleanTime);
    }
    fs::remove_all(root);
    measureInventoryViews(root);
    fs::remove_all(root);
    return 0;
}
