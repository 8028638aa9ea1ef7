#pragma once

// The weekly timetables of the groups, kept in "settings.ini" as records of five lines:
// the group name, the power-on line, the shutdown line, the comment, a reserved line.

#include <array>
#include <string>
#include <string_view>

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/platform.h"

namespace vt::power {

inline constexpr const char* kScheduleFile = "settings.ini";
inline constexpr std::size_t kScheduleRecordLines = 5;

// The name of a weekday: 0 "Tous", 1 "lundi" ... 7 "dimanche"; empty for any other index.
std::string DayName(int index);

// A time text shifted by a number of minutes: the minutes carry into the hour once, the hour
// is never wrapped ("23:50" + 15 gives "24:05"). An empty time stays empty; a time whose
// parts are not numbers is returned unchanged.
std::string AddMinutes(std::string_view time, int minutes);

// Gives Schedules one entry per group of GroupList (new entries start at "0:00", "0:00").
void resizeSchedules(VtlVar& state);

// Works out today's times of every group that has a record in "settings.ini" (bare name).
// A missing file is created empty as DataDir + "settings.ini" (FileError when it cannot be).
void LoadTodaySchedule(VtlVar& state, platform::FileSystem& files, int isoWeekday);
// The same for the clock's weekday.
void LoadTodaySchedule(VtlVar& state, const Services& services);

// True when some group of GroupList has a power-on or shutdown time on some day of the week
// in "settings.ini" (bare name): the program then has work that stops when it ends. A file
// that cannot be read counts as none.
bool anyTimetableSet(const VtlVar& state, const platform::FileSystem& files);

// How the editor gives its times: one time for every day, or one per weekday.
enum class ScheduleMode { Tous, EditBox };

// Which line of a record is edited: the shutdown line, or the power-on line from its time
// box or from the duration box (both write the same line).
enum EntryPoint : int { kShutdownEntry = 0, kPowerOnEntry = 1, kDurationEntry = 2 };

// The seven day boxes of the editor, lundi first.
using EditorDays = std::array<std::string, 7>;

// What the schedule editor hands over when it saves.
struct ScheduleEdit {
    int entryPoint = kPowerOnEntry;
    std::string time;      // the every-day time (mode Tous)
    std::string duration;  // minutes, power-on line only
    ScheduleMode mode = ScheduleMode::Tous;
    EditorDays days;  // the per-day times (mode EditBox)
    bool synchronise = false;
};

// Index of the record of a group: the first record whose name line equals the name without
// regard to case; only the records' first lines are looked at. -1 when there is none.
int findScheduleRecord(const std::vector<std::string>& lines, std::string_view group);

// Writes the record of the group at that index of GroupList: reads "settings.ini" (bare
// name; FileError when missing or unreadable, and nothing is saved), creates the record when
// the group has none, rewrites the edited line and writes DataDir + "settings.ini". An index
// outside GroupList or an unknown entry point changes nothing.
void SaveSettingsFor(VtlVar& state, platform::FileSystem& files, int groupIndex,
                     const ScheduleEdit& edit);

// Writes a group's comment into the comment line of its record at once: reads "settings.ini"
// (bare name; a missing file counts as empty), creates the record when the group has none,
// and writes DataDir + "settings.ini". A comment typed in the main window is thus kept by the
// next load and by the schedule editor. An index outside GroupList changes nothing. FileError
// when the file exists but cannot be read, or cannot be written.
void SaveCommentFor(VtlVar& state, platform::FileSystem& files, int groupIndex,
                    std::string_view comment);

}  // namespace vt::power
