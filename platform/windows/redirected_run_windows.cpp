#include <windows.h>

#include "platform/redirected_run.h"
#include "platform/windows/launch_line.h"
#include "platform/windows/process_start.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_processes.h"

namespace vt::platform {

namespace {

using windows::OwnedHandle;

// The target as a handle the started program inherits. The read-only attribute decides, as
// it does for the system's own writes.
OwnedHandle openTarget(const OutputRedirection& target) {
    const std::wstring path = windows::wide(target.nativePath);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return OwnedHandle();
    }
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    // Append data only: each write lands at the end, whoever else appends meanwhile.
    return OwnedHandle(::CreateFileW(path.c_str(), target.append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     &inherited, target.append ? OPEN_ALWAYS : CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

// One of this process's standard streams, as a handle the program inherits.
OwnedHandle inheritableStandard(DWORD which) {
    HANDLE own = ::GetStdHandle(which);
    HANDLE copy = nullptr;
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE,
                           DUPLICATE_SAME_ACCESS)) {
        return OwnedHandle();
    }
    return OwnedHandle(copy);
}

}  // namespace

RedirectedOutcome runRedirected(Platform& platform, const RedirectedRun& run) {
    RedirectedOutcome outcome;
    const auto* processes = dynamic_cast<const windows::WindowsProcesses*>(&platform.processes);
    if (processes == nullptr) {
        return outcome;
    }
    const auto line =
        windows::resolveLaunchLine(run.commandLine, windows::wide(processes->toolsDirectory()));
    if (!line) {
        return outcome;
    }
    OwnedHandle output;
    OwnedHandle error;
    if (run.standardOutput) {
        output = openTarget(*run.standardOutput);
        if (!output.valid()) {
            outcome.status = RunStatus::TargetNotOpened;
            outcome.unopenedTarget = run.standardOutput->nativePath;
            return outcome;
        }
    } else {
        output = inheritableStandard(STD_OUTPUT_HANDLE);
    }
    if (run.standardError && !run.standardErrorToOutput) {
        error = openTarget(*run.standardError);
        if (!error.valid()) {
            outcome.status = RunStatus::TargetNotOpened;
            outcome.unopenedTarget = run.standardError->nativePath;
            return outcome;
        }
    } else if (!run.standardErrorToOutput) {
        error = inheritableStandard(STD_ERROR_HANDLE);
    }
    const OwnedHandle input = inheritableStandard(STD_INPUT_HANDLE);

    windows::StartOptions options;
    options.hidden = false;
    options.input = input.get();
    options.output = output.get();
    options.error = run.standardErrorToOutput ? output.get() : error.get();
    const windows::StartedProcess started = windows::startProcess(*line, run.environment, options);
    if (!started.process.valid()) {
        outcome.status =
            started.error == ERROR_FILE_NOT_FOUND ? RunStatus::NotFound : RunStatus::NotStarted;
        return outcome;
    }
    ::WaitForSingleObject(started.process.get(), INFINITE);
    DWORD code = 0;
    outcome.status = RunStatus::Finished;
    outcome.exitCode =
        ::GetExitCodeProcess(started.process.get(), &code) ? static_cast<int>(code) : -1;
    return outcome;
}

bool writeRedirected(const OutputRedirection& target, std::string_view bytes) {
    const OwnedHandle file = openTarget(target);
    if (!file.valid()) {
        return false;
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace vt::platform
