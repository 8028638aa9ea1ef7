#include "power/scheduler_lock.h"

#include "core/strings.h"

namespace vt::power {

std::string schedulerHolderText(long pid, std::string_view program) {
    return std::to_string(pid) + " " + std::string(program);
}

std::optional<SchedulerHolder> parseSchedulerHolder(std::string_view text) {
    const SplitResult parts = splitAtFirst(text, " ");
    if (!parts.found || parts.before.empty() || parts.before.size() > 10 || parts.after.empty() ||
        parts.before.find_first_not_of("0123456789") != std::string_view::npos ||
        parts.after.find_first_of(" \r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    return SchedulerHolder{std::stol(std::string(parts.before)), std::string(parts.after)};
}

namespace {

std::string holderWords(const SchedulerHolder& holder) {
    return (holder.program == kServiceHolderName ? std::string("le service") : holder.program) +
           " (pid " + std::to_string(holder.pid) + ")";
}

}  // namespace

std::string timetablesHeldElsewhere(const std::optional<SchedulerHolder>& holder,
                                    bool waiterIsService) {
    const std::string who = holder ? holderWords(*holder) : "un autre processus";
    return "Planification assurée par " + who + (waiterIsService ? ", en attente" : "");
}

std::string timetablesHeldHere(std::string_view ownName, long pid) {
    return "Planification assurée par " + holderWords(SchedulerHolder{pid, std::string(ownName)});
}

SchedulerLock::SchedulerLock(platform::FileSystem& files, std::string ownName)
    : m_files(files), m_ownName(std::move(ownName)) {
}

bool SchedulerLock::hold(const std::string& dataDir) {
    if (!m_held) {
        m_held =
            platform::tryProcessLock(m_files.nativePath(dataDir + kSchedulerLockFile),
                                     schedulerHolderText(platform::currentProcessId(), m_ownName));
    }
    return held();
}

std::optional<SchedulerHolder> SchedulerLock::holder(const std::string& dataDir) const {
    const std::optional<std::string> text = m_files.readFile(dataDir + kSchedulerLockFile);
    return text ? parseSchedulerHolder(*text) : std::nullopt;
}

}  // namespace vt::power
