// What a click on a machine's name costs with a large school's inventory exports: the first
// sheet reads and indexes "hardware.ocs" and "softwares.ocs", the next ones find them kept.
// Run by hand:
//   build/tests/inventory_views_benchmark
// 20,000 machines of 1 KB each in "hardware.ocs" and 60 software each in "softwares.ocs",
// about 230 MB together.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/native_platform.h"
#include "status/machine_sheet.h"

namespace {

namespace fs = std::filesystem;
using Milliseconds = std::chrono::duration<double, std::milli>;

template <typename Work>
double millisecondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Milliseconds(std::chrono::steady_clock::now() - start).count();
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

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / ("inventory-" + std::to_string(::getpid()));
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
        "exports of %ju MB, %d machines: first sheet %.0f ms (%zu software), "
        "next 20 sheets at most %.1f ms each\n",
        static_cast<std::uintmax_t>(megabytes), kMachines, first, software, slowest);
    fs::remove_all(root);
    return 0;
}
