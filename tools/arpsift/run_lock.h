#pragma once

// The lock file "vt_netsweep.lck" beside the tool, shared in name with the network-sweep
// tool: while it is younger than 0.01 day, a run leaves the lists alone.

#include <chrono>
#include <string>

#include "platform/platform.h"

namespace vt::arpsift {

inline constexpr std::string_view kLockFileName = "vt_netsweep.lck";
// 0.01 day: 14 minutes 24 seconds.
inline constexpr std::chrono::seconds kLockLifetime{864};

enum class LockOutcome {
    Taken,
    Busy,    // a lock younger than 0.01 day: another run is at work
    Failed,  // the lock can be neither created nor, when old, removed
};

// Creates the lock file, empty, by an exclusive creation, so that of two runs started at the
// same instant one only gets it. A lock at least 0.01 day old is taken over, by one run only.
LockOutcome takeRunLock(platform::FileSystem& files, const std::string& lockPath);

}  // namespace vt::arpsift
