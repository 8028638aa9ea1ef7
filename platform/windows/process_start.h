#pragma once

// Starting one program with CreateProcess, shared by the hidden starts, the waited runs and
// the interpreter's redirected runs.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/windows/launch_line.h"
#include "platform/windows/owned_handle.h"

namespace vt::platform::windows {

struct StartOptions {
    std::wstring workingDirectory;  // empty: the current one
    // Standard streams handed to the program; all three or none.
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE error = nullptr;
    // Hidden programs get a console of their own that is never shown; the others share this
    // process's console and show their windows.
    bool hidden = true;
    bool suspended = false;
};

struct StartedProcess {
    OwnedHandle process;
    OwnedHandle thread;
    unsigned long error = 0;  // the Win32 error when nothing was started
};

StartedProcess startProcess(const LaunchLine& line, const EnvironmentEntries& environment,
                            const StartOptions& options);

}  // namespace vt::platform::windows
