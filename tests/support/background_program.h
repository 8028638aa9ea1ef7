#pragma once

// A program that a test keeps running beside it (a server), ended by the test: asked to stop,
// then killed when it does not, and always waited for, so no process outlives the test.
//
// A small keeper process stands between the test and the program. It passes a stop request
// on, and it stops the program by itself when the test process dies without doing so (a
// crash, a time-out's kill): the parent-death signal cannot be set on the program directly,
// since a server that changes its user loses it.

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vt::test {

class BackgroundProgram {
public:
    // Starts arguments[0] (a native path) with standard input on /dev/null and both output
    // streams appended to the log file.
    BackgroundProgram(const std::vector<std::string>& arguments, const std::string& logPath);
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;
    ~BackgroundProgram();

    bool started() const { return m_keeper > 0; }
    // False once the program has ended, by itself or by stop().
    bool running();
    // SIGTERM, then SIGKILL when it is still running after the grace time.
    void stop(std::chrono::milliseconds grace = std::chrono::seconds(10));

private:
    pid_t m_keeper = -1;  // leads a process group of its own, the program's
};

}  // namespace vt::test
