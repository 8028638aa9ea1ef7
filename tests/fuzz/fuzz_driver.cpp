// Runs a fuzz target where libFuzzer is missing (a compiler other than Clang): every seed of
// the directories and files named, then mutations of them chosen by a fixed random series,
// so the targets still build and run everywhere. It reads the libFuzzer options that the
// runner passes (-runs, -seed, -max_len, -max_total_time, -artifact_prefix) and ignores the
// others. An input that crashes the target is written out before the crash goes on.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the crash handler writes; set once before the first run.
std::string g_crashPath;
const Bytes* g_current = nullptr;

extern "C" void writeCurrentInput(int signal) {
    if (g_current != nullptr) {
        const int fd = ::open(g_crashPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t written =
                ::write(fd, g_current->data(), g_current->size());
            ::close(fd);
        }
        const char message[] = "\nentrée fautive gardée dans le fichier crash\n";
        [[maybe_unused]] const ssize_t shown = ::write(2, message, sizeof message - 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void addSeeds(const std::filesystem::path& path, std::vector<Bytes>& seeds) {
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            if (entry.is_regular_file()) {
                seeds.push_back(readFile(entry.path()));
            }
        }
    } else {
        seeds.push_back(readFile(path));
    }
}

// One to four edits: a byte changed, inserted or removed, a piece of another seed spliced in.
Bytes mutate(Bytes input, const std::vector<Bytes>& seeds, std::mt19937_64& random,
             std::size_t maxLength) {
    const auto below = [&random](std::size_t n) { return n == 0 ? 0 : random() % n; };
    for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
        switch (below(4)) {
            case 0:
                if (!input.empty()) {
                    input[below(input.size())] ^= static_cast<std::uint8_t>(1U << below(8));
                }
                break;
            case 1:
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(below(input.size() + 1)),
                             static_cast<std::uint8_t>(random()));
                break;
            case 2:
                if (!input.empty()) {
                    input.erase(input.begin() + static_cast<std::ptrdiff_t>(below(input.size())));
                }
                break;
            default: {
                const Bytes& other = seeds[below(seeds.size())];
                const std::size_t from = below(other.size());
                const std::size_t length = below(other.size() - from + 1);
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(below(input.size() + 1)),
                             other.begin() + static_cast<std::ptrdiff_t>(from),
                             other.begin() + static_cast<std::ptrdiff_t>(from + length));
            }
        }
    }
    if (input.size() > maxLength) {
        input.resize(maxLength);
    }
    return input;
}

// The value of "-option=value", or nothing for another argument.
const char* optionValue(const std::string& argument, const char* option) {
    const std::size_t length = std::strlen(option);
    return argument.compare(0, length, option) == 0 ? argument.c_str() + length : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    long long runs = -1;
    unsigned long long seed = 1;
    std::size_t maxLength = 4096;
    long long seconds = 0;
    std::string artifactPrefix = "./";
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.empty() || argument.front() != '-') {
            addSeeds(argument, seeds);
        }
        if (const char* v = optionValue(argument, "-runs=")) {
            runs = std::atoll(v);
        }
        if (const char* v = optionValue(argument, "-seed=")) {
            seed = std::strtoull(v, nullptr, 10);
        }
        if (const char* v = optionValue(argument, "-max_len=")) {
            maxLength = std::strtoull(v, nullptr, 10);
        }
        if (const char* v = optionValue(argument, "-max_total_time=")) {
            seconds = std::atoll(v);
        }
        if (const char* v = optionValue(argument, "-artifact_prefix=")) {
            artifactPrefix = v;
        }
    }
    if (seeds.empty()) {
        seeds.emplace_back();
    }
    g_crashPath = artifactPrefix + "crash";
    for (const int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
        std::signal(signal, writeCurrentInput);
    }

    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                start)
            .count();
    };
    std::mt19937_64 random(seed);
    long long done = 0;
    const auto runOne = [&done](const Bytes& input) {
        g_current = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
        g_current = nullptr;
        ++done;
    };
    for (const Bytes& input : seeds) {
        runOne(input);
    }
    while ((runs < 0 || done < runs) && (seconds <= 0 || elapsed() < seconds) &&
           (runs >= 0 || seconds > 0)) {
        runOne(mutate(seeds[random() % seeds.size()], seeds, random, maxLength));
    }
    std::printf("stat::number_of_executed_units: %lld\nDone %lld runs in %lld second(s)\n", done,
                done, static_cast<long long>(elapsed()));
    return 0;
}
