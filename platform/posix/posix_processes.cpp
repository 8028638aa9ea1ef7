#include "platform/posix/posix_processes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/posix/document_programs.h"
#include "platform/posix/viewer_copy.h"

namespace vt::platform::posix {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

// Moves a descriptor above the standard streams, so that setting those up in a child never
// overwrites it; close-on-exec either way.
int aboveStandardStreams(int fd) {
    if (fd < 0 || fd > 2) {
        return fd;
    }
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

// The argument vector and environment in the form execve takes, built before fork: a child
// of a threaded program must not allocate.
class ExecArguments {
public:
    ExecArguments(std::vector<std::string> arguments, const EnvironmentOverrides& overrides)
        : m_arguments(std::move(arguments)) {
        for (std::string& argument : m_arguments) {
            m_pointers.push_back(argument.data());
        }
        m_pointers.push_back(nullptr);
        for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
            const std::string_view variable = *entry;
            const bool overridden =
                std::any_of(overrides.begin(), overrides.end(), [&](const auto& replaced) {
                    return variable.size() > replaced.first.size() &&
                           variable.substr(0, replaced.first.size()) == replaced.first &&
                           variable[replaced.first.size()] == '=';
                });
            if (!overridden) {
                m_environment.emplace_back(variable);
            }
        }
        for (const auto& [name, value] : overrides) {
            m_environment.push_back(name + "=" + value);
        }
        for (std::string& variable : m_environment) {
            m_environmentPointers.push_back(variable.data());
        }
        m_environmentPointers.push_back(nullptr);
    }
    const char* program() const { return m_arguments[0].c_str(); }
    char* const* argv() const { return m_pointers.data(); }
    char* const* envp() const { return m_environmentPointers.data(); }

private:
    std::vector<std::string> m_arguments;
    std::vector<char*> m_pointers;
    std::vector<std::string> m_environment;
    std::vector<char*> m_environmentPointers;
};

// Pipe on which a child reports why it could not exec; closed by a successful exec.
struct ErrorPipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;

    bool open() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            return false;
        }
        readEnd.reset(aboveStandardStreams(ends[0]));
        writeEnd.reset(aboveStandardStreams(ends[1]));
        return readEnd.get() >= 0 && writeEnd.get() >= 0;
    }

    // In the parent, once the child holds the write end: true when the exec succeeded.
    bool execSucceeded() {
        writeEnd.reset();
        int childErrno = 0;
        while (true) {
            const ssize_t got = ::read(readEnd.get(), &childErrno, sizeof childErrno);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            return got == 0;
        }
    }
};

// Everything below runs between fork and exec and sticks to async-signal-safe calls.
void reportAndExit(int fd) {
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &error, sizeof error);
    ::_exit(127);
}

void resetSignals() {
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        ::sigaction(signal, &defaults, nullptr);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// The standard stream `target` reads and writes `fd`, kept across exec.
bool redirect(int fd, int target) {
    if (fd == target) {
        return ::fcntl(target, F_SETFD, 0) == 0;
    }
    return ::dup2(fd, target) == target;
}

// No descriptor of the parent (sockets, the log files) survives into the started program.
void closeOthersOnExec() {
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) {
        return;
    }
    const long limit = ::sysconf(_SC_OPEN_MAX);
    const int last = limit > 0 && limit < 65536 ? static_cast<int>(limit) : 65536;
    for (int fd = 3; fd < last; ++fd) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string currentDirectory() {
    std::string buffer(4096, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        return "./";
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    if (buffer.empty() || buffer.back() != '/') {
        buffer.push_back('/');
    }
    return buffer;
}

pid_t waitFor(pid_t pid, int* status, int options) {
    while (true) {
        const pid_t result = ::waitpid(pid, status, options);
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

// Starts the program in a session of its own, its standard streams on /dev/null. The
// intermediate child exits at once and is reaped here; the program itself is adopted by
// init, so nothing is left for this process to wait for.
bool spawnDetached(std::vector<std::string> arguments, const EnvironmentOverrides& overrides) {
    const ExecArguments exec(std::move(arguments), overrides);
    ErrorPipe errors;
    FileDescriptor devNull(aboveStandardStreams(::open("/dev/null", O_RDWR | O_CLOEXEC)));
    if (!errors.open() || devNull.get() < 0) {
        return false;
    }
    const pid_t intermediate = ::fork();
    if (intermediate < 0) {
        return false;
    }
    if (intermediate == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program < 0) {
            reportAndExit(errors.writeEnd.get());
        }
        if (program > 0) {
            ::_exit(0);
        }
        resetSignals();
        for (int target = 0; target <= 2; ++target) {
            if (!redirect(devNull.get(), target)) {
                reportAndExit(errors.writeEnd.get());
            }
        }
        closeOthersOnExec();
        ::execve(exec.program(), exec.argv(), exec.envp());
        reportAndExit(errors.writeEnd.get());
    }
    int status = 0;
    waitFor(intermediate, &status, 0);
    return errors.execSucceeded();
}

}  // namespace

PosixProcesses::PosixProcesses(PosixFileSystem& files, std::string toolsDirectory,
                               EnvironmentOverrides environmentOverrides)
    : m_files(files),
      m_toolsDirectory(std::move(toolsDirectory)),
      m_environmentOverrides(std::move(environmentOverrides)) {
    if (!m_toolsDirectory.empty() && m_toolsDirectory.back() != '/') {
        m_toolsDirectory.push_back('/');
    }
}

LaunchEnvironment PosixProcesses::launchEnvironment() const {
    LaunchEnvironment environment;
    environment.toolsDirectory = m_toolsDirectory;
    environment.currentDirectory = currentDirectory();
    const char* path = std::getenv("PATH");
    environment.searchPath = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    environment.nativePath = [this](std::string_view name) { return m_files.nativePath(name); };
    environment.isFile = isRegularFile;
    environment.isExecutable = isExecutableFile;
    return environment;
}

bool PosixProcesses::startHidden(std::string_view commandLine) {
    return startHidden(commandLine, {});
}

bool PosixProcesses::startHidden(std::string_view commandLine,
                                 const EnvironmentEntries& extraEnvironment) {
    auto arguments = resolveLaunch(commandLine, launchEnvironment());
    if (!arguments) {
        return false;
    }
    // The program's own variables win over those set for every program.
    EnvironmentOverrides variables;
    for (const auto& entry : m_environmentOverrides) {
        if (std::none_of(extraEnvironment.begin(), extraEnvironment.end(),
                         [&](const auto& own) { return own.first == entry.first; })) {
            variables.push_back(entry);
        }
    }
    variables.insert(variables.end(), extraEnvironment.begin(), extraEnvironment.end());
    return spawnDetached(std::move(*arguments), variables);
}

RunOutcome PosixProcesses::runHidden(std::string_view commandLine,
                                     std::string_view workingDirectory,
                                     std::chrono::milliseconds timeLimit) {
    RunOutcome outcome;
    auto arguments = resolveLaunch(commandLine, launchEnvironment());
    if (!arguments) {
        return outcome;
    }
    const ExecArguments exec(std::move(*arguments), m_environmentOverrides);
    const std::string directory =
        workingDirectory.empty() ? std::string(".") : m_files.nativePath(workingDirectory);
    ErrorPipe errors;
    FileDescriptor devNull(aboveStandardStreams(::open("/dev/null", O_RDONLY | O_CLOEXEC)));
    if (directory.empty() || !errors.open() || devNull.get() < 0) {
        return outcome;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return outcome;
    }
    if (child == 0) {
        // A process group of its own, so the time limit ends whatever it started as well.
        ::setpgid(0, 0);
        resetSignals();
        if (!redirect(devNull.get(), 0) || ::chdir(directory.c_str()) != 0) {
            reportAndExit(errors.writeEnd.get());
        }
        closeOthersOnExec();
        ::execve(exec.program(), exec.argv(), exec.envp());
        reportAndExit(errors.writeEnd.get());
    }
    ::setpgid(child, child);
    int status = 0;
    if (!errors.execSucceeded()) {
        waitFor(child, &status, 0);
        return outcome;
    }
    outcome.started = true;
    // A limit beyond a year is no limit in practice; clamping keeps the deadline from
    // overflowing the clock.
    const auto limit = std::clamp(timeLimit, std::chrono::milliseconds(0),
                                  std::chrono::milliseconds(std::chrono::hours(24 * 365)));
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto pause = std::chrono::milliseconds(1);
    while (true) {
        const pid_t done = waitFor(child, &status, WNOHANG);
        if (done == child) {
            outcome.finished = true;
            if (WIFEXITED(status)) {
                outcome.exitCode = WEXITSTATUS(status);
            } else if (WIFSIGNALED(status)) {
                outcome.exitCode = 128 + WTERMSIG(status);
            }
            return outcome;
        }
        if (done < 0) {
            // Someone else reaped it: it has ended, its code is lost.
            outcome.finished = true;
            return outcome;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-child, SIGKILL);
            ::kill(child, SIGKILL);
            waitFor(child, &status, 0);
            return outcome;
        }
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20)) {
            pause *= 2;
        }
    }
}

bool PosixProcesses::openDocument(std::string_view program, std::string_view documentPath) {
    // The program is a native one: it is handed the document's native name.
    const std::string document = m_files.nativePath(documentPath);
    auto arguments = resolveDocumentOpen(program, document, launchEnvironment());
    if (!arguments) {
        return false;
    }
    // Without its copy the viewer is still shown the file, accents garbled, rather than nothing.
    if (isTextViewer(program)) {
        if (auto copy = utf8CopyForViewer(m_files, document)) {
            arguments->back() = std::move(*copy);
        }
    }
    return spawnDetached(std::move(*arguments), m_environmentOverrides);
}

}  // namespace vt::platform::posix
