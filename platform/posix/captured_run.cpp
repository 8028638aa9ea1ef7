#include "platform/captured_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/posix/child_environment.h"

namespace vt::platform {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> locateProgram(const std::string& program) {
    if (program.empty()) {
        return std::nullopt;
    }
    if (program.find('/') != std::string::npos) {
        return isExecutableFile(program) ? std::optional(program) : std::nullopt;
    }
    const char* pathVariable = std::getenv("PATH");
    std::string_view path = pathVariable != nullptr ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = path.find(':');
        const std::string_view entry = path.substr(0, colon);
        const std::string candidate =
            (entry.empty() ? std::string(".") : std::string(entry)) + "/" + program;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return std::nullopt;
        }
        path.remove_prefix(colon + 1);
    }
}

namespace {

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// What is kept of one stream: all of it, or within a limit its beginning and its end.
class KeptStream {
public:
    explicit KeptStream(std::size_t limit)
        : m_headLimit(limit == 0 ? std::string::npos : limit / 2), m_tailLimit(limit - limit / 2) {}

    void append(const char* bytes, std::size_t count) {
        const std::size_t toHead = std::min(count, m_headLimit - m_head.size());
        m_head.append(bytes, toHead);
        if (toHead == count) {
            return;
        }
        m_tail.append(bytes + toHead, count - toHead);
        // Trimmed only once it holds twice the limit, so each byte is moved at most once.
        if (m_tail.size() > 2 * m_tailLimit) {
            m_dropped = true;
            m_tail.erase(0, m_tail.size() - m_tailLimit);
        }
    }

    std::string text() const {
        if (!m_dropped && m_tail.size() <= m_tailLimit) {
            return m_head + m_tail;
        }
        return m_head + kOmittedOutput + m_tail.substr(m_tail.size() - m_tailLimit);
    }

private:
    std::size_t m_headLimit;
    std::size_t m_tailLimit;
    std::string m_head;
    std::string m_tail;
    bool m_dropped = false;
};

}  // namespace

CapturedOutcome runCaptured(const CapturedRun& run) {
    CapturedOutcome outcome;
    if (run.arguments.empty()) {
        outcome.status = CapturedStatus::NotFound;
        return outcome;
    }
    const std::optional<std::string> program = locateProgram(run.arguments[0]);
    if (!program) {
        outcome.status = CapturedStatus::NotFound;
        return outcome;
    }

    // Everything the child needs is built before the fork.
    std::vector<std::string> arguments = run.arguments;
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = posix::environmentWith(run.environment);
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    int report[2] = {-1, -1};  // a failed exec writes its errno here; a successful one closes it
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        ::pipe2(report, O_CLOEXEC) != 0) {
        for (int* fd : {&out[0], &out[1], &err[0], &err[1], &report[0], &report[1]}) {
            closeIfOpen(*fd);
        }
        return outcome;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0 && ::dup2(devNull, STDIN_FILENO) >= 0 &&
            ::dup2(out[1], STDOUT_FILENO) >= 0 && ::dup2(err[1], STDERR_FILENO) >= 0) {
            ::execve(program->c_str(), argv.data(), envp.data());
        }
        const int failure = errno;
        [[maybe_unused]] const ssize_t ignored = ::write(report[1], &failure, sizeof failure);
        ::_exit(127);
    }
    closeIfOpen(out[1]);
    closeIfOpen(err[1]);
    closeIfOpen(report[1]);
    if (pid < 0) {
        closeIfOpen(out[0]);
        closeIfOpen(err[0]);
        closeIfOpen(report[0]);
        return outcome;
    }
    ::setpgid(pid, pid);
    int execError = 0;
    ssize_t reported = 0;
    do {
        reported = ::read(report[0], &execError, sizeof execError);
    } while (reported < 0 && errno == EINTR);
    closeIfOpen(report[0]);
    if (reported > 0) {
        closeIfOpen(out[0]);
        closeIfOpen(err[0]);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return outcome;
    }

    const auto deadline = std::chrono::steady_clock::now() + run.timeLimit;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    KeptStream sinks[2] = {KeptStream(run.keptBytesPerStream), KeptStream(run.keptBytesPerStream)};
    bool timedOut = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[65536];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i].append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                closeIfOpen(fds[i].fd);
            }
        }
    }
    closeIfOpen(fds[0].fd);
    closeIfOpen(fds[1].fd);
    outcome.standardOutput = sinks[0].text();
    outcome.standardError = sinks[1].text();
    if (timedOut) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        outcome.status = CapturedStatus::TimedOut;
        return outcome;
    }
    outcome.exitCode = posix::exitCodeOf(status);
    outcome.status = CapturedStatus::Finished;
    return outcome;
}

}  // namespace vt::platform
