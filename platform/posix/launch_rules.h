#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::platform::posix {

// What the launch rules need to know of the machine, handed in so the rules can be checked
// without touching the disk.
struct LaunchEnvironment {
    std::string toolsDirectory;    // where vt_cmd lives, ending with "/"
    std::string currentDirectory;  // makes found programs absolute, ending with "/"
    std::string searchPath;        // the value of $PATH
    // The native path a system path names (drive letters, UNC, case).
    std::function<std::string(std::string_view)> nativePath;
    std::function<bool(const std::string&)> isFile;
    std::function<bool(const std::string&)> isExecutable;
};

// The native argument vector that a Windows command line runs as: argv[0] is the absolute
// path of the program to execute. ".bat" files and "cmd /c" lines run under vt_cmd, a missing
// "X.exe" is looked for as "X", and a bare name is looked for in the current directory and
// then along the search path. Nothing when no program can be found.
std::optional<std::vector<std::string>> resolveLaunch(std::string_view commandLine,
                                                      const LaunchEnvironment& environment);

// The program a document is opened with: a path, or a bare name looked for along the
// search path only. Nothing when it is not an executable file.
std::optional<std::string> resolveProgram(std::string_view program,
                                          const LaunchEnvironment& environment);

}  // namespace vt::platform::posix
