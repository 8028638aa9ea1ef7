#pragma once

// Running a command line and waiting for it, with its standard output and error optionally
// sent to files: what the command interpreter needs for the "> file", ">> file" and
// "2> file" of the batch lines. The program is found by the same rules as
// Processes::startHidden and started directly, never through a shell, so no character of its
// arguments has a meaning of its own.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace vt::platform {

// A file that receives one standard stream: replaced (created or emptied) or appended to.
// A read-only file cannot be a target.
struct OutputRedirection {
    std::string nativePath;
    bool append = false;
};

struct RedirectedRun {
    std::string commandLine;  // a Windows command line
    std::optional<OutputRedirection> standardOutput;
    std::optional<OutputRedirection> standardError;
    bool standardErrorToOutput = false;  // "2>&1": errors go wherever the output goes
    // Variables set for the program, replacing inherited values of the same name.
    std::vector<std::pair<std::string, std::string>> environment;
};

enum class RunStatus {
    Finished,
    NotFound,         // no program to run: nothing was opened or started
    TargetNotOpened,  // a redirection file could not be opened: nothing was started
    NotStarted,       // the program was found but could not be run
};

struct RedirectedOutcome {
    RunStatus status = RunStatus::NotFound;
    std::string unopenedTarget;  // with TargetNotOpened: the file's native path
    // With Finished: the program's exit code; 128 + the signal's number when a signal ended it.
    int exitCode = -1;
};

// Finds the program, opens the redirection files (only once the program is found), runs it
// in the current directory with the current environment and standard input, and waits for
// its end. The platform must be the native one: its launch rules find the program.
RedirectedOutcome runRedirected(Platform& platform, const RedirectedRun& run);

// Writes the bytes into the file as a redirection does: replaced or appended to. False when
// the file cannot be opened or written. A read-only file is refused, as on Windows, whoever
// runs the program.
bool writeRedirected(const OutputRedirection& target, std::string_view bytes);

}  // namespace vt::platform
