#pragma once

// One scheduler at a time on a data folder: the program and the service vt_service each try
// to hold "vt_scheduler.lck"; the one that holds it runs the timetables, the other waits and
// tries again every minute, so it takes over within a minute once the holder ends.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/process_lock.h"

namespace vt::power {

inline constexpr const char* kSchedulerLockFile = "vt_scheduler.lck";
// How each process names itself in the lock file.
inline constexpr const char* kProgramHolderName = "Vantorel";
inline constexpr const char* kServiceHolderName = "vt_service";

struct SchedulerHolder {
    long pid = 0;
    std::string program;
};

// "pid program", as the holder writes it; nothing for any other text.
std::string schedulerHolderText(long pid, std::string_view program);
std::optional<SchedulerHolder> parseSchedulerHolder(std::string_view text);

// What the process that waits says: "Planification assurée par le service (pid N)" or
// "... par Vantorel (pid N)"; the service adds ", en attente". An unknown holder is named
// "un autre processus".
std::string timetablesHeldElsewhere(const std::optional<SchedulerHolder>& holder,
                                    bool waiterIsService);

// What the holder says when it takes the timetables: "Planification assurée par le service
// (pid N)" or "... par Vantorel (pid N)".
std::string timetablesHeldHere(std::string_view ownName, long pid);

class SchedulerLock {
public:
    SchedulerLock(platform::FileSystem& files, std::string ownName);

    // Keeps the lock, or takes the one of the data directory when it is free. True while this
    // process runs the timetables.
    bool hold(const std::string& dataDir);
    bool held() const { return m_held != nullptr; }
    void release() { m_held.reset(); }
    const std::string& ownName() const { return m_ownName; }
    // Who holds the data directory's lock, as its file says.
    std::optional<SchedulerHolder> holder(const std::string& dataDir) const;

private:
    platform::FileSystem& m_files;
    std::string m_ownName;
    std::unique_ptr<platform::ProcessLock> m_held;
};

}  // namespace vt::power
