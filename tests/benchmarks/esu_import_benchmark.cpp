// How long the import of a large ESU group list takes: 100,000 machines in 300 groups, beside
// 20,000 machines in the same groups. Run by hand:
//   build/tests/esu_import_benchmark
// Each size is imported into fresh group files, then once more into the files the first
// import wrote (the import only adds, so the second run compares every machine with them).

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/utils.h"
#include "platform/native_platform.h"
#include "tests/support/fakes.h"

namespace {

namespace fs = std::filesystem;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kGroups = 300;

std::string groupList(int machines) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<ListeGM>\r\n";
    const int perGroup = machines / kGroups;
    for (int g = 0; g < kGroups; ++g) {
        xml += "<GM Nom=\"SALLE" + std::to_string(g) + "\" Type=\"salle\">\r\n";
        for (int m = 0; m < perGroup; ++m) {
            xml += "  <Machine>salle" + std::to_string(g) + "-pc" + std::to_string(m) +
                   "</Machine>\r\n";
        }
        xml += "</GM>\r\n";
    }
    return xml + "</ListeGM>\r\n";
}

struct Timing {
    double wall = 0;  // milliseconds
    double cpu = 0;   // milliseconds of this process's own time, without the disk's waits
};

Timing importTiming(vt::VtlVar& state, vt::platform::FileSystem& files) {
    vt::test::RecordingConsole console;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    vt::LoadGroups(state, files, console);
    return Timing{Milliseconds(std::chrono::steady_clock::now() - start).count(),
                  1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / ("esu-import-" + std::to_string(::getpid()));
    for (const int machines : {20000, 100000}) {
        fs::remove_all(root);
        fs::create_directories(root / "unc/PDC/esu/Base");
        fs::create_directories(root / "data");
        vt::platform::PlatformConfig config;
        config.uncRoot = (root / "unc").string();
        config.driveCRoot = (root / "drive_c").string();
        auto native = vt::platform::createNativePlatform(config);
        vt::platform::FileSystem& files = native->platform().files;
        files.writeFile((root / "unc/PDC/esu/Base/ListeGM.xml").string(), groupList(machines));
        native->platform().system.setWorkingDirectory((root / "data").string());

        vt::VtlVar state;
        state.DataDir = (root / "data").string() + "/";
        state.Prefs.pdc = "\\\\PDC";
        state.Prefs.esu = "true";
        const Timing first = importTiming(state, files);
        const Timing again = importTiming(state, files);
        std::printf(
            "%6d machines in %d groups: first import %7.1f ms (cpu %6.1f ms), "
            "again %7.1f ms (cpu %6.1f ms), %zu groups\n",
            machines, kGroups, first.wall, first.cpu, again.wall, again.cpu,
            state.GroupList.size());
    }
    fs::remove_all(root);
    return 0;
}
