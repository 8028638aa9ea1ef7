#pragma once

// The lock file "vt_netsweep.lck" of the data directory, shared in name with the network-sweep
// tool. The cache tool holds it for a whole run, and the program while it rewrites an address
// list, so that neither writes a list read before the other's change: while it is younger than
// 0.01 day, the lists belong to its holder.

#include <chrono>
#include <string>

#include "platform/platform.h"

namespace vt::platform {

inline constexpr std::string_view kSweepLockFileName = "vt_netsweep.lck";
// 0.01 day: 14 minutes 24 seconds.
inline constexpr std::chrono::seconds kSweepLockLifetime{864};

enum class SweepLockOutcome {
    Taken,
    Busy,    // a lock younger than 0.01 day: another run or the program is at work
    Failed,  // the lock can be neither created nor, when old, removed
};

// Creates the lock file, empty, by an exclusive creation, so that of two runs started at the
// same instant one only gets it. A lock at least 0.01 day old is taken over, by one run only.
SweepLockOutcome takeSweepLock(FileSystem& files, const std::string& lockPath);

}  // namespace vt::platform
