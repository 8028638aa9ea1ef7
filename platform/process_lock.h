#pragma once

// A lock file held by one process at a time, as long as its holder keeps it: the system
// releases it when the holder ends, however it ends (a kill, a crash), so a lock left by a
// process that died is free at once. The holder writes who it is into the file for the others.

#include <memory>
#include <string>
#include <string_view>

namespace vt::platform {

class ProcessLock {
public:
    virtual ~ProcessLock() = default;
};

// Takes the lock of the file at the native path (created when missing) without waiting and
// replaces its contents with `holder`; nothing while another process holds it or when the
// file cannot be opened. Programs this process starts do not inherit it.
std::unique_ptr<ProcessLock> tryProcessLock(const std::string& nativePath, std::string_view holder);

// The number the system knows this process by.
long currentProcessId();

}  // namespace vt::platform
