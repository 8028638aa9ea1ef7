#include "tests/support/background_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace vt::test {

namespace {

// The keeper, between fork and _exit: only async-signal-safe calls, nothing allocated. It
// waits for the program's end or for SIGTERM, which the test sends, or the kernel when the
// test process dies; SIGTERM is passed on and the program waited for.
[[noreturn]] void keep(char* const* argv, const char* logPath, pid_t test) {
    ::setpgid(0, 0);
    sigset_t watched;
    sigemptyset(&watched);
    sigaddset(&watched, SIGTERM);
    sigaddset(&watched, SIGCHLD);
    ::sigprocmask(SIG_BLOCK, &watched, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != test) {
        ::_exit(1);
    }
    const pid_t program = ::fork();
    if (program == 0) {
        ::sigprocmask(SIG_UNBLOCK, &watched, nullptr);
        const int input = ::open("/dev/null", O_RDONLY);
        const int log = ::open(logPath, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (input < 0 || log < 0 || ::dup2(input, 0) < 0 || ::dup2(log, 1) < 0 ||
            ::dup2(log, 2) < 0) {
            ::_exit(126);
        }
        ::execv(argv[0], argv);
        ::_exit(127);
    }
    if (program < 0) {
        ::_exit(126);
    }
    for (;;) {
        const int signal = ::sigwaitinfo(&watched, nullptr);
        if (signal == SIGTERM) {
            ::kill(program, SIGTERM);
        }
        int status = 0;
        const pid_t ended = ::waitpid(program, &status, signal == SIGTERM ? 0 : WNOHANG);
        if (ended == program) {
            ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        }
    }
}

}  // namespace

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
    const pid_t test = ::getpid();
    m_keeper = ::fork();
    if (m_keeper == 0) {
        keep(argv.data(), logPath.c_str(), test);
    }
    if (m_keeper > 0) {
        // Set on both sides of the fork, so the group exists before either goes on.
        ::setpgid(m_keeper, m_keeper);
    }
}

BackgroundProgram::~BackgroundProgram() {
    stop();
}

bool BackgroundProgram::running() {
    if (m_keeper <= 0) {
        return false;
    }
    int status = 0;
    pid_t ended = ::waitpid(m_keeper, &status, WNOHANG);
    while (ended < 0 && errno == EINTR) {
        ended = ::waitpid(m_keeper, &status, WNOHANG);
    }
    if (ended == 0) {
        return true;
    }
    m_keeper = -1;
    return false;
}

void BackgroundProgram::stop(std::chrono::milliseconds grace) {
    if (!running()) {
        return;
    }
    const pid_t group = m_keeper;
    ::kill(m_keeper, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Only while the keeper is not yet waited for is its group sure to be still theirs.
    if (running()) {
        ::kill(-group, SIGKILL);
        while (::waitpid(group, nullptr, 0) < 0 && errno == EINTR) {
        }
        m_keeper = -1;
    }
}

}  // namespace vt::test
