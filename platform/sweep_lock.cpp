#include "platform/sweep_lock.h"

namespace vt::platform {

namespace {

// Enough for a lock that goes between our look and our creation, and comes back once.
constexpr int kAttempts = 3;

}  // namespace

SweepLockOutcome takeSweepLock(FileSystem& files, const std::string& lockPath) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        switch (files.createNewFile(lockPath)) {
            case NewFileOutcome::Created:
                return SweepLockOutcome::Taken;
            case NewFileOutcome::Failed:
                return SweepLockOutcome::Failed;
            case NewFileOutcome::AlreadyExists:
                break;
        }
        const auto written = files.lastWriteTime(lockPath);
        if (written && std::chrono::system_clock::now() < *written + kSweepLockLifetime) {
            return SweepLockOutcome::Busy;
        }
        // Whether this run removed the old lock or another one did first, the next creation
        // decides who works.
        files.removeIfOlderThan(lockPath, kSweepLockLifetime);
    }
    return SweepLockOutcome::Failed;
}

}  // namespace vt::platform
