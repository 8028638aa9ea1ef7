#include "power/timetable_files.h"

#include "core/address_lists.h"
#include "core/preferences.h"
#include "core/utils.h"
#include "power/schedule_store.h"

namespace vt::power {

namespace {

// Read by bare name, from the program folder, as the program reads them.
constexpr const char* kFollowedFiles[] = {kPreferencesFile, kLocalGroupsFile, kScheduleFile};

}  // namespace

TimetableFiles::TimetableFiles(VtlVar& state, const Services& services)
    : m_state(state), m_services(services) {
}

TimetableFiles::Stamp TimetableFiles::stampOf(const char* file) const {
    return m_services.platform.files.lastWriteTime(file);
}

void TimetableFiles::noteLoaded() {
    for (const char* file : kFollowedFiles) {
        m_stamps[file] = stampOf(file);
    }
}

bool TimetableFiles::changed(const char* file) {
    const Stamp now = stampOf(file);
    if (now == m_stamps[file]) {
        return false;
    }
    m_stamps[file] = now;
    return true;
}

void TimetableFiles::reloadChanged() {
    platform::FileSystem& files = m_services.platform.files;
    Console& console = m_services.console;
    // Each file is looked at every time: one that changed must not hide the next.
    const bool preferences = changed(kPreferencesFile);
    const bool groups = changed(kLocalGroupsFile);
    const bool schedule = changed(kScheduleFile);
    if (preferences) {
        // The data directory stays the one the start chose: the lock and the jobs' files are
        // there.
        const std::string dataDir = m_state.DataDir;
        WindowGeometry unused;
        LoadPreferences(m_state, files, unused, false);
        m_state.DataDir = dataDir;
        setEffectiveWolTarget(m_state);
        console.appendLine(std::string(kPreferencesFile) + " modifié : préférences relues");
    }
    // The groups may come from the domain controller, which "esu" in the preferences turns on.
    if (groups || preferences) {
        LoadGroups(m_state, files, console);
        console.appendLine(std::string(kLocalGroupsFile) + " relu : " +
                           std::to_string(m_state.GroupList.size() - 1) + " groupe(s)");
    }
    if (groups || preferences || schedule) {
        // A group whose record went keeps no time of it.
        m_state.Schedules.clear();
        resizeSchedules(m_state);
        LoadTodaySchedule(m_state, m_services);
        if (schedule) {
            console.appendLine(std::string(kScheduleFile) + " modifié : horaires du jour relus");
        }
    }
    refreshAddressLists(m_state, files);
}

}  // namespace vt::power
