#pragma once

// A program that a test keeps running beside it (a server), ended by the test: asked to stop,
// then killed when it does not, and always waited for, so no process outlives the test.

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

    bool started() const { return m_pid > 0; }
    // False once it has ended, by itself or by stop().
    bool running();
    // SIGTERM, then SIGKILL when it is still running after the grace time.
    void stop(std::chrono::milliseconds grace = std::chrono::seconds(10));

private:
    pid_t m_pid = -1;
};

}  // namespace vt::test
