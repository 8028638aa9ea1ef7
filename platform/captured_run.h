#pragma once

// Running a program from an argument vector and collecting what it prints, within a time
// limit: what the adapters need to drive the system's own tools. The arguments go to the
// program as they are, never through a shell or a command line, so no character of theirs
// has a meaning of its own.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vt::platform {

enum class CapturedStatus {
    Finished,
    NotFound,    // no such program: nothing ran
    NotStarted,  // found but could not be run (no right to execute, no memory, ...)
    TimedOut,    // the time limit passed: the program and what it started were killed
};

struct CapturedOutcome {
    CapturedStatus status = CapturedStatus::NotStarted;
    // With Finished: the exit code; 128 + the signal's number when a signal ended it.
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
};

struct CapturedRun {
    // arguments[0] is the program: a path, or a bare name looked for along $PATH.
    std::vector<std::string> arguments;
    std::chrono::milliseconds timeLimit{30000};
    // Variables set for the program, replacing inherited values of the same name.
    std::vector<std::pair<std::string, std::string>> environment;
    // When not 0, the most bytes kept of each stream: its first and its last half of that,
    // joined by kOmittedOutput when more came. The rest is still read, and dropped, so the
    // program never blocks on a full pipe however much it prints.
    std::size_t keptBytesPerStream = 0;
};

// Stands where the middle of a stream was dropped; a line of its own, so that what is kept of
// the lines around it is never read as one word.
inline constexpr const char* kOmittedOutput = "\n[...]\n";

// The path of a program: as given when it holds a "/", else the first executable file of that
// name along $PATH. Nothing when there is none.
std::optional<std::string> locateProgram(const std::string& program);

// Runs the program with standard input on /dev/null, in a process group of its own, and
// waits for its end or the time limit.
CapturedOutcome runCaptured(const CapturedRun& run);

}  // namespace vt::platform
