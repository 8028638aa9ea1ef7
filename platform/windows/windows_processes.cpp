#include "platform/windows/windows_processes.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/launch_line.h"
#include "platform/windows/process_start.h"
#include "platform/windows/wide_text.h"

namespace vt::platform::windows {

namespace {

// A limit beyond a year is no limit in practice; clamping keeps the wait within its type.
constexpr std::chrono::milliseconds kLongestWait{std::chrono::hours(24 * 365)};

}  // namespace

WindowsProcesses::WindowsProcesses(std::string toolsDirectory)
    : m_toolsDirectory(std::move(toolsDirectory)) {
    if (!m_toolsDirectory.empty() && m_toolsDirectory.back() != '\\' &&
        m_toolsDirectory.back() != '/') {
        m_toolsDirectory.push_back('\\');
    }
}

bool WindowsProcesses::startHidden(std::string_view commandLine) {
    return startHidden(commandLine, {});
}

bool WindowsProcesses::startHidden(std::string_view commandLine,
                                   const EnvironmentEntries& extraEnvironment) {
    const auto line = resolveLaunchLine(commandLine, wide(m_toolsDirectory));
    if (!line) {
        return false;
    }
    // The handles are closed at once: the program runs on by itself, nothing waits for it.
    return startProcess(*line, extraEnvironment, StartOptions{}).process.valid();
}

RunOutcome WindowsProcesses::runHidden(std::string_view commandLine,
                                       std::string_view workingDirectory,
                                       std::chrono::milliseconds timeLimit) {
    RunOutcome outcome;
    const auto line = resolveLaunchLine(commandLine, wide(m_toolsDirectory));
    if (!line) {
        return outcome;
    }
    StartOptions options;
    options.workingDirectory = wide(workingDirectory);
    options.suspended = true;
    StartedProcess started = startProcess(*line, {}, options);
    if (!started.process.valid()) {
        return outcome;
    }
    // A job holds the program and whatever it starts, so the time limit ends them all.
    const OwnedHandle job(::CreateJobObjectW(nullptr, nullptr));
    const bool inJob = job.valid() && ::AssignProcessToJobObject(job.get(), started.process.get());
    ::ResumeThread(started.thread.get());
    outcome.started = true;
    const auto limit = std::clamp(timeLimit, std::chrono::milliseconds(0), kLongestWait);
    if (::WaitForSingleObject(started.process.get(), static_cast<DWORD>(limit.count())) !=
        WAIT_OBJECT_0) {
        if (inJob) {
            ::TerminateJobObject(job.get(), 1);
        }
        ::TerminateProcess(started.process.get(), 1);
        ::WaitForSingleObject(started.process.get(), INFINITE);
        return outcome;
    }
    DWORD code = 0;
    outcome.finished = true;
    if (::GetExitCodeProcess(started.process.get(), &code)) {
        outcome.exitCode = static_cast<int>(code);
    }
    return outcome;
}

bool WindowsProcesses::openDocument(std::string_view program, std::string_view documentPath) {
    const auto application = findDocumentProgram(program);
    if (!application) {
        return false;
    }
    const LaunchLine line{*application,
                          runtimeQuoted(*application) + L" " + runtimeQuoted(wide(documentPath))};
    StartOptions options;
    options.hidden = false;
    return startProcess(line, {}, options).process.valid();
}

}  // namespace vt::platform::windows
