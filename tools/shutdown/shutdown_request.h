#pragma once

// The Windows "shutdown" command line as the system writes it:
//   shutdown -s -f -t N -c "comment" -m \\NAME   (also -r to restart, -a -m \\NAME to abort)
// Switches begin with "-" or "/" and are read without regard to case.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::shutdown {

enum class Action { Shutdown, Restart, Abort };

inline constexpr int kDefaultTimeout = 30;         // seconds, as on Windows
inline constexpr int kMaximumTimeout = 315360000;  // ten years, as on Windows
inline constexpr std::size_t kMaximumComment = 512;

struct ShutdownRequest {
    Action action = Action::Shutdown;
    bool force = false;
    int timeout = kDefaultTimeout;
    std::string comment;
    std::string machine;         // without the two backslashes and without the "*" mark
    bool neverShutDown = false;  // the group file marked the machine with a trailing "*"
};

struct ParsedRequest {
    std::optional<ShutdownRequest> request;
    std::string error;  // French, when there is no request
};

ParsedRequest parseShutdownArguments(const std::vector<std::string>& arguments);

// Why a machine name cannot reach a command line, in French; nothing for a good name. A name
// is refused when it is empty, longer than 255 characters, or holds a control character, a
// blank or any character that has a meaning of its own to a shell, a command interpreter or
// a path.
std::optional<std::string> machineNameProblem(std::string_view name);

}  // namespace vt::shutdown
