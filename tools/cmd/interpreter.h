#pragma once

// The command interpreter that runs the batch lines the system writes: the built-in "cd",
// "attrib +R|-R" and "echo", the adapters for the Windows commands that have no program of
// the same name here, and every other program found by the platform's launch rules (a
// ".bat" file or a "cmd /c" line runs under a nested vt_cmd).
//
// - Lines are never echoed; only the output redirections have a meaning (batch_line.h).
// - A command that cannot be found is reported on vt_cmd's own standard error as
//   "vt_cmd : commande introuvable : NAME", and its redirection files are neither created
//   nor emptied: the system takes a missing output file for a missing result.
// - A redirection into a read-only file is refused and the command does not run.
// - A failed line never stops the batch.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/redirected_run.h"
#include "tools/cmd/batch_line.h"

namespace vt::cmd {

class Interpreter {
public:
    // The platform must be the native one; adapters are looked for in the tools directory.
    // `depth` is the number of interpreters this one runs inside.
    Interpreter(platform::Platform& platform, std::string toolsDirectory, int depth = 0);

    // Runs one line and gives its status: 0 when it ran and succeeded.
    int runLine(std::string_view line);

    // A program line ready to run, and the name its failures are reported under.
    struct ProgramStart {
        platform::RedirectedRun run;
        std::string name;
    };
    // The start of a line whose program is the "shutdown" adapter; nothing for any other line
    // (a built-in, another program, a line that is refused).
    std::optional<ProgramStart> shutdownStart(std::string_view line) const;
    // Runs the programs side by side, at most `atOnce` at a time, and gives their statuses in
    // their order once all have ended. Failures are reported in that order too, never mixed.
    std::vector<int> runSideBySide(const std::vector<ProgramStart>& starts, std::size_t atOnce);

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
    std::optional<ProgramStart> programStart(const BatchLine& line) const;
    static int reportOutcome(const ProgramStart& start, const platform::RedirectedOutcome& outcome);

    platform::Platform& m_platform;
    std::string m_toolsDirectory;
    int m_depth;
};

// The environment variable that carries the nesting depth to the interpreters a batch
// starts, and the depth at which a nested batch is refused: a batch that runs itself must
// not start interpreters without end.
inline constexpr std::string_view kDepthVariable = "VANTOREL_CMD_DEPTH";
inline constexpr int kMaximumDepth = 16;

}  // namespace vt::cmd
