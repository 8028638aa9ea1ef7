#pragma once

// Runs a built program as a test sees it from outside: arguments, exit code, and everything
// it printed.

#include <chrono>
#include <string>
#include <vector>

namespace vt::test {

struct ProgramResult {
    int exitCode = -1;  // 128 + the signal's number when a signal ended it
    bool timedOut = false;
    std::string standardOutput;
    std::string standardError;
};

// Runs arguments[0] (a native path) with the test's environment and working directory and
// standard input on /dev/null; a program still running after the time limit is killed.
ProgramResult runProgram(const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeLimit = std::chrono::seconds(20));

}  // namespace vt::test
