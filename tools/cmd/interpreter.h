#pragma once

// The command interpreter that runs the batch lines the system writes: the built-in "cd",
// "attrib +R|-R" and "echo", the adapters for the Windows commands that have no program of
// the same name here, and every other program found by the platform's launch rules.

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "tools/cmd/batch_line.h"

namespace vt::cmd {

class Interpreter {
public:
    // The platform must be the native one; adapters are looked for in the tools directory.
    Interpreter(platform::Platform& platform, std::string toolsDirectory);

    // Runs one line and gives its status: 0 when it ran and succeeded.
    int runLine(std::string_view line);

private:
    // What a built-in command prints; delivered to the line's redirections.
    struct Output {
        std::string standardOutput;
        std::string standardError;
        int status = 0;
    };

    Output changeDirectory(std::string_view argument);
    Output changeAttributes(std::string_view command);
    static Output echo(std::string_view text);
    int deliver(const BatchLine& line, const Output& output);
    int runProgram(const BatchLine& line);

    platform::Platform& m_platform;
    std::string m_toolsDirectory;
};

}  // namespace vt::cmd
