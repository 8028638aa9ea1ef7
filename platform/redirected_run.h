#pragma once

// Running a program and waiting for it, with its standard output and error optionally sent to
// files: what the command interpreter needs for the "> file", ">> file" and "2> file" of the
// batch lines. The program is started directly, never through a shell, so no character of
// its arguments has a meaning of its own.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::platform {

// A file that receives one standard stream: replaced (created or emptied) or appended to.
struct OutputRedirection {
    std::string nativePath;
    bool append = false;
};

struct RedirectedRun {
    std::vector<std::string> arguments;  // arguments[0] is the program's native path
    std::optional<OutputRedirection> standardOutput;
    std::optional<OutputRedirection> standardError;
    bool standardErrorToOutput = false;  // "2>&1": errors go wherever the output goes
};

struct RedirectedOutcome {
    bool started = false;
    // When not started because a redirection file could not be opened: its native path.
    std::optional<std::string> unopenedTarget;
    // The program's exit code; 128 + the signal's number when a signal ended it.
    int exitCode = -1;
};

// Opens the redirection files, runs the program in the current directory with the current
// environment and waits for its end. Nothing is started when a file cannot be opened or the
// argument list is empty.
RedirectedOutcome runRedirected(const RedirectedRun& run);

// True when the native path names a regular file that this process may run.
bool isRunnableFile(std::string_view nativePath);

}  // namespace vt::platform
