#include "tests/support/background_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace vt::test {

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& arguments,
                                     const std::string& logPath) {
    if (arguments.empty()) {
        return;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (input < 0 || log < 0 || ::dup2(input, 0) < 0 || ::dup2(log, 1) < 0 ||
            ::dup2(log, 2) < 0) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
}

BackgroundProgram::~BackgroundProgram() {
    stop();
}

bool BackgroundProgram::running() {
    if (m_pid <= 0) {
        return false;
    }
    int status = 0;
    pid_t ended = ::waitpid(m_pid, &status, WNOHANG);
    while (ended < 0 && errno == EINTR) {
        ended = ::waitpid(m_pid, &status, WNOHANG);
    }
    if (ended == 0) {
        return true;
    }
    m_pid = -1;
    return false;
}

void BackgroundProgram::stop(std::chrono::milliseconds grace) {
    if (!running()) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (running()) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
}

}  // namespace vt::test
