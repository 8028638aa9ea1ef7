#include "tools/arpsift/run_lock.h"

namespace vt::arpsift {

namespace {

// Enough for a lock that goes between our look and our creation, and comes back once.
constexpr int kAttempts = 3;

}  // namespace

LockOutcome takeRunLock(platform::FileSystem& files, const std::string& lockPath) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        switch (files.createNewFile(lockPath)) {
            case platform::NewFileOutcome::Created:
                return LockOutcome::Taken;
            case platform::NewFileOutcome::Failed:
                return LockOutcome::Failed;
            case platform::NewFileOutcome::AlreadyExists:
                break;
        }
        const auto written = files.lastWriteTime(lockPath);
        if (written && std::chrono::system_clock::now() < *written + kLockLifetime) {
            return LockOutcome::Busy;
        }
        // Whether this run removed the old lock or another one did first, the next creation
        // decides who works.
        files.removeIfOlderThan(lockPath, kLockLifetime);
    }
    return LockOutcome::Failed;
}

}  // namespace vt::arpsift
