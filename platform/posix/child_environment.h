#pragma once

// What the programs that the platform starts and waits for share: their environment and the
// reading of their end.

#include <string>
#include <utility>
#include <vector>

namespace vt::platform::posix {

// This process's environment with the variables set, replacing inherited values of the same
// name; built before a fork, since the child must not allocate.
std::vector<std::string> environmentWith(
    const std::vector<std::pair<std::string, std::string>>& variables);

// The exit code of a wait status; 128 + the signal's number when a signal ended the program.
int exitCodeOf(int waitStatus);

}  // namespace vt::platform::posix
