// How long vt_arpsift takes, and how much memory it holds at most, on address lists of
// 10,000 and of 100,000 lines with 5,000 entries in each cache. Every cached address has its
// name in the NetBIOS cache, so no status query runs; half the names get a new address and
// a new MAC, a fifth of them are new. Run by hand:
//   build/tests/vt_arpsift_benchmark
// Each size is measured in a child process of its own, so that the processor time and the peak
// memory reported are those of its run (the tool, the interpreter and the adapter scripts it
// starts); on a busy machine the processor time says more than the elapsed time.

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/program_run.h"

namespace {

namespace fs = std::filesystem;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kCacheEntries = 5000;
constexpr const char* kMeasureFlag = "--measure";

std::string format(const char* pattern, int a, int b = 0, int c = 0, int d = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

std::string address(int network, int i) {
    return format("10.%d.%d.%d", network, i / 250 % 250, i % 250 + 1);
}

std::string mac(int prefix, int i) {
    return format("00-16-%02X-%02X-%02X-%02X", prefix, i >> 16 & 0xFF, i >> 8 & 0xFF, i & 0xFF);
}

void writeLines(const fs::path& file, int count, const auto& line) {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < count; ++i) {
        out << line(i) << "\r\n";
    }
}

void writeScript(const fs::path& file, const std::string& body) {
    std::ofstream(file, std::ios::binary) << "#!/bin/sh\n" << body;
    fs::permissions(file, fs::perms(0755));
}

// A program folder with its lists, caches and adapters; the name of cache entry k is that of
// list line k * step, or a new name for every fifth entry.
void prepare(const fs::path& folder, int lines) {
    fs::create_directories(folder / "drive_c");
    const std::string bin = VT_BIN_DIR;
    fs::copy_file(bin + "/vt_arpsift", folder / "vt_arpsift");
    fs::copy_file(bin + "/vt_cmd", folder / "vt_cmd");
    writeLines(folder / "liste.ip", lines,
               [](int i) { return format("pc%06d ", i) + address(i / 62500 + 1, i); });
    writeLines(folder / "liste.mac", lines, [](int i) { return format("PC%06d ", i) + mac(0, i); });
    const int step = lines / kCacheEntries;
    const auto name = [step](int k) { return format(k % 5 == 0 ? "NEW%06d" : "PC%06d", k * step); };
    const auto ip = [step](int k) {
        return k % 2 == 0 ? address(200, k) : address(k * step / 62500 + 1, k * step);
    };
    writeLines(folder / "nbtcache.txt", kCacheEntries, [&](int k) {
        return "    " + name(k) + "      <00>  UNIQUE          " + ip(k) + "           600";
    });
    writeLines(folder / "arpcache.txt", kCacheEntries, [&](int k) {
        return "  " + ip(k) + "        " + (k % 2 == 0 ? mac(1, k) : mac(0, k * step)) +
               "     dynamique";
    });
    writeScript(folder / "vt_nbtstat", "exec cat '" + (folder / "nbtcache.txt").string() + "'\n");
    writeScript(folder / "vt_arp", "exec cat '" + (folder / "arpcache.txt").string() + "'\n");
}

int lineCount(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        ++count;
    }
    return count;
}

// In the child: one run on a list of `lines` lines.
int measure(int lines) {
    const fs::path folder =
        fs::temp_directory_path() / ("vt-arpsift-bench-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    prepare(folder, lines);
    ::setenv("VANTOREL_DRIVE_C", (folder / "drive_c").c_str(), 1);
    fs::current_path(folder);

    const auto start = std::chrono::steady_clock::now();
    const vt::test::ProgramResult run =
        vt::test::runProgram({(folder / "vt_arpsift").string()}, std::chrono::minutes(5));
    const double elapsed = Milliseconds(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);

    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 +
               static_cast<double>(time.tv_usec) / 1000.0;
    };
    std::printf(
        "  %6d lignes : %7.1f ms (processeur %6.1f ms), mémoire au plus %5.1f Mio "
        "(code %d ; liste.ip %d, liste.mac %d lignes, cache.log %d lignes)\n",
        lines, elapsed, milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime),
        static_cast<double>(usage.ru_maxrss) / 1024.0, run.exitCode, lineCount(folder / "liste.ip"),
        lineCount(folder / "liste.mac"), lineCount(folder / "cache.log"));
    if (!run.standardError.empty()) {
        std::fputs(run.standardError.c_str(), stderr);
    }
    fs::current_path("/");
    fs::remove_all(folder);
    return run.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == kMeasureFlag) {
        return measure(std::stoi(argv[2]));
    }
    std::error_code ignored;
    const std::string self = fs::read_symlink("/proc/self/exe", ignored).string();
    std::printf("vt_arpsift, %d entrées dans chaque cache, sans requête nbtstat -a :\n",
                kCacheEntries);
    std::fflush(stdout);
    int failures = 0;
    for (const int lines : {10000, 100000}) {
        const vt::test::ProgramResult child = vt::test::runProgram(
            {self, kMeasureFlag, std::to_string(lines)}, std::chrono::minutes(10));
        std::fputs(child.standardOutput.c_str(), stdout);
        std::fputs(child.standardError.c_str(), stderr);
        failures += child.exitCode != 0 ? 1 : 0;
    }
    return failures == 0 ? 0 : 1;
}
