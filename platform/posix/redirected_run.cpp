#include "platform/redirected_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/child_environment.h"
#include "platform/posix/launch_rules.h"
#include "platform/posix/posix_processes.h"

namespace vt::platform {

namespace {

// Owns one descriptor.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    ~Descriptor() { reset(); }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

private:
    int m_fd = -1;
};

Descriptor openTarget(const OutputRedirection& target) {
    // The write bits decide, not the rights of the user: root may not write a read-only file
    // either.
    struct stat info {};
    if (::stat(target.nativePath.c_str(), &info) == 0 && (info.st_mode & 0222) == 0) {
        errno = EACCES;
        return Descriptor();
    }
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | (target.append ? O_APPEND : O_TRUNC);
    int fd = -1;
    do {
        fd = ::open(target.nativePath.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

// Writes all of the bytes; only async-signal-safe calls, as it runs in the child.
void writeAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return posix::exitCodeOf(status);
}

}  // namespace

RedirectedOutcome runRedirected(Platform& platform, const RedirectedRun& run) {
    RedirectedOutcome outcome;
    const auto* processes = dynamic_cast<const posix::PosixProcesses*>(&platform.processes);
    if (processes == nullptr) {
        return outcome;
    }
    std::optional<std::vector<std::string>> arguments =
        posix::resolveLaunch(run.commandLine, processes->launchEnvironment());
    if (!arguments) {
        return outcome;
    }

    Descriptor output;
    Descriptor error;
    if (run.standardOutput) {
        output = openTarget(*run.standardOutput);
        if (!output.valid()) {
            outcome.status = RunStatus::TargetNotOpened;
            outcome.unopenedTarget = run.standardOutput->nativePath;
            return outcome;
        }
    }
    if (run.standardError && !run.standardErrorToOutput) {
        error = openTarget(*run.standardError);
        if (!error.valid()) {
            outcome.status = RunStatus::TargetNotOpened;
            outcome.unopenedTarget = run.standardError->nativePath;
            return outcome;
        }
    }

    // Everything the child needs is prepared before the fork: after it, only
    // async-signal-safe calls are allowed.
    std::vector<char*> argv;
    argv.reserve(arguments->size() + 1);
    for (std::string& argument : *arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = posix::environmentWith(run.environment);
    std::vector<char*> envp;
    envp.reserve(variables.size() + 1);
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    // The child reports a failed exec through this pipe; a successful exec closes it.
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        outcome.status = RunStatus::NotStarted;
        return outcome;
    }
    Descriptor reportRead(pipeEnds[0]);
    Descriptor reportWrite(pipeEnds[1]);

    const int outputFd = output.get();
    const int errorFd = error.get();
    const bool errorToOutput = run.standardErrorToOutput;
    const pid_t pid = ::fork();
    if (pid < 0) {
        outcome.status = RunStatus::NotStarted;
        return outcome;
    }
    if (pid == 0) {
        bool redirected = true;
        if (outputFd >= 0) {
            redirected = ::dup2(outputFd, STDOUT_FILENO) >= 0;
        }
        if (redirected && errorToOutput) {
            redirected = ::dup2(STDOUT_FILENO, STDERR_FILENO) >= 0;
        } else if (redirected && errorFd >= 0) {
            redirected = ::dup2(errorFd, STDERR_FILENO) >= 0;
        }
        if (redirected) {
            ::execve(argv[0], argv.data(), envp.data());
        }
        const int failure = errno;
        writeAll(reportWrite.get(), &failure, sizeof failure);
        ::_exit(127);
    }

    reportWrite.reset();
    output.reset();
    error.reset();
    int failure = 0;
    ssize_t got = 0;
    do {
        got = ::read(reportRead.get(), &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    const int exitCode = waitFor(pid);
    if (got > 0) {
        outcome.status = RunStatus::NotStarted;
        return outcome;
    }
    outcome.status = RunStatus::Finished;
    outcome.exitCode = exitCode;
    return outcome;
}

bool writeRedirected(const OutputRedirection& target, std::string_view bytes) {
    const Descriptor file = openTarget(target);
    if (!file.valid()) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace vt::platform
