#include "power/schedule_store.h"

#include <array>

#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::power {

namespace {

constexpr std::array<const char*, 8> kDayNames = {"Tous",  "lundi",    "mardi",  "mercredi",
                                                  "jeudi", "vendredi", "samedi", "dimanche"};

// The time that applies today from a power-on or shutdown line (its duration already cut
// off), and the day of the entry it was taken from; the day is empty for a bare time.
struct TodayEntry {
    std::string time;
    std::string day;
};

TodayEntry pickTodayEntry(std::string_view line, std::string_view today) {
    TodayEntry entry;
    std::string rest(line);
    if (rest.find('+') == std::string::npos) {
        entry.time = rest;
        return entry;
    }
    while (true) {
        const std::size_t plus = rest.find('+');
        entry.time = rest.substr(0, plus);
        const std::size_t comma = rest.find(',');
        if (comma == std::string::npos) {
            entry.day = rest.substr(plus + 1);
            break;
        }
        entry.day = comma > plus ? rest.substr(plus + 1, comma - plus - 1) : std::string();
        rest = rest.substr(comma + 1);
        if (entry.day == today || rest.find('+') == std::string::npos) {
            break;
        }
    }
    return entry;
}

// An entry of another weekday means no action today.
std::string timeForToday(const TodayEntry& entry, std::string_view today) {
    if (!entry.day.empty() && entry.day != kDayNames[0] && entry.day != today) {
        return "0:00";
    }
    return entry.time;
}

// A line break inside a value would shift every record after it.
std::string oneLine(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return result;
}

std::array<std::string, kScheduleRecordLines> newRecord(std::string_view group,
                                                        std::string_view comment) {
    return {std::string(group), "0:00+Tous", "0:00", oneLine(comment), "NA"};
}

// A last record cut short (the file was edited by hand) gets its missing lines back, so that
// the records after it still start at multiples of five.
void completeLastRecord(std::vector<std::string>& lines) {
    const std::size_t partial = lines.size() % kScheduleRecordLines;
    if (partial == 0) {
        return;
    }
    const auto defaults = newRecord(lines[lines.size() - partial], "");
    for (std::size_t k = partial; k < kScheduleRecordLines; ++k) {
        lines.push_back(defaults[k]);
    }
}

std::string perDayLine(const EditorDays& days, int shift) {
    std::string line;
    for (std::size_t d = 0; d < days.size(); ++d) {
        if (!days[d].empty()) {
            line +=
                oneLine(AddMinutes(days[d], shift)) + "+" + DayName(static_cast<int>(d) + 1) + ",";
        }
    }
    return line;
}

}  // namespace

std::string DayName(int index) {
    if (index < 0 || index >= static_cast<int>(kDayNames.size())) {
        return {};
    }
    return kDayNames[static_cast<std::size_t>(index)];
}

std::string AddMinutes(std::string_view time, int minutes) {
    if (time.empty()) {
        return {};
    }
    const SplitResult parts = splitAtFirst(time, ":");
    const std::optional<std::int32_t> typedMinutes = parseVtlInt(parts.after);
    if (!typedMinutes) {
        return std::string(time);
    }
    std::string hour = parts.before;
    long long total = static_cast<long long>(*typedMinutes) + minutes;
    if (total >= 60) {
        const std::optional<std::int32_t> typedHour = parseVtlInt(hour);
        if (!typedHour) {
            return std::string(time);
        }
        hour = std::to_string(static_cast<long long>(*typedHour) + 1);
        total -= 60;
    }
    const std::string minuteText = std::to_string(total);
    return hour + ":" + (total >= 0 && total <= 9 ? "0" + minuteText : minuteText);
}

void resizeSchedules(VtlVar& state) {
    state.Schedules.resize(state.GroupList.size());
}

int findScheduleRecord(const std::vector<std::string>& lines, std::string_view group) {
    for (std::size_t p = 0; p < lines.size(); p += kScheduleRecordLines) {
        if (equalsNoCase(lines[p], group)) {
            return static_cast<int>(p);
        }
    }
    return -1;
}

void LoadTodaySchedule(VtlVar& state, platform::FileSystem& files, int isoWeekday) {
    resizeSchedules(state);
    if (!files.exists(kScheduleFile)) {
        saveTextLines(files, state.DataDir + kScheduleFile, {});
        return;
    }
    const std::vector<std::string> lines = loadTextLines(files, kScheduleFile);
    const std::string today = DayName(isoWeekday);

    for (std::size_t p = 0; p + 1 < lines.size(); p += kScheduleRecordLines) {
        const std::string& name = lines[p];
        // "Autres" collects the unassigned machines and is never scheduled; a group named
        // "AUTRES" is another group and gets its times.
        if (name == state.OtherGroupName) {
            continue;
        }
        const int index = groupIndexOf(state, name);
        if (index < 0) {
            continue;
        }
        GroupDaySchedule& schedule = state.Schedules[static_cast<std::size_t>(index)];

        SplitResult powerOn = splitAtFirst(lines[p + 1], "-");
        if (powerOn.found) {
            schedule.Duration = atMost255(powerOn.after);
        }
        schedule.PowerOnTime = timeForToday(pickTodayEntry(powerOn.before, today), today);

        if (p + 2 < lines.size()) {
            schedule.ShutdownTime = timeForToday(pickTodayEntry(lines[p + 2], today), today);
        }
        if (p + 3 < lines.size()) {
            schedule.Comment = lines[p + 3];
        }
    }
}

bool anyTimetableSet(const VtlVar& state, const platform::FileSystem& files) {
    const std::vector<std::string> lines = loadTextLinesOrEmpty(files, kScheduleFile);
    const auto isSet = [](const std::string& time) { return !time.empty() && time != "0:00"; };
    for (std::size_t p = 0; p + 2 < lines.size(); p += kScheduleRecordLines) {
        if (lines[p] == state.OtherGroupName || groupIndexOf(state, lines[p]) < 0) {
            continue;
        }
        const std::string powerOn = splitAtFirst(lines[p + 1], "-").before;
        for (int day = 1; day <= 7; ++day) {
            const std::string name = DayName(day);
            if (isSet(timeForToday(pickTodayEntry(powerOn, name), name)) ||
                isSet(timeForToday(pickTodayEntry(lines[p + 2], name), name))) {
                return true;
            }
        }
    }
    return false;
}

void LoadTodaySchedule(VtlVar& state, const Services& services) {
    LoadTodaySchedule(state, services.platform.files, services.clock.now().isoWeekday);
}

void SaveCommentFor(VtlVar& state, platform::FileSystem& files, int groupIndex,
                    std::string_view comment) {
    if (groupIndex < 0 || groupIndex >= static_cast<int>(state.GroupList.size())) {
        return;
    }
    const std::string& group = state.GroupList[static_cast<std::size_t>(groupIndex)];
    std::vector<std::string> lines;
    if (files.exists(kScheduleFile)) {
        lines = loadTextLines(files, kScheduleFile);
    }
    completeLastRecord(lines);
    const int record = findScheduleRecord(lines, group);
    if (record < 0) {
        for (const std::string& line : newRecord(group, comment)) {
            lines.push_back(line);
        }
    } else {
        lines[static_cast<std::size_t>(record) + 3] = oneLine(comment);
    }
    saveTextLines(files, state.DataDir + kScheduleFile, lines);
}

void SaveSettingsFor(VtlVar& state, platform::FileSystem& files, int groupIndex,
                     const ScheduleEdit& edit) {
    if (groupIndex < 0 || groupIndex >= static_cast<int>(state.GroupList.size())) {
        return;
    }
    const bool powerOnLine = edit.entryPoint == kPowerOnEntry || edit.entryPoint == kDurationEntry;
    if (!powerOnLine && edit.entryPoint != kShutdownEntry) {
        return;
    }
    const auto index = static_cast<std::size_t>(groupIndex);
    const std::string& group = state.GroupList[index];

    std::vector<std::string> lines = loadTextLines(files, kScheduleFile);
    completeLastRecord(lines);
    int record = findScheduleRecord(lines, group);
    if (record < 0) {
        record = static_cast<int>(lines.size());
        const std::string comment =
            index < state.Schedules.size() ? state.Schedules[index].Comment : std::string();
        for (const std::string& line : newRecord(group, comment)) {
            lines.push_back(line);
        }
    }
    const auto r = static_cast<std::size_t>(record);
    const int shift = edit.synchronise ? groupIndex : 0;
    const std::string duration = oneLine(edit.duration);

    if (edit.mode == ScheduleMode::Tous) {
        // Only a synchronised save reformats the typed time.
        const std::string time =
            oneLine(edit.synchronise ? AddMinutes(edit.time, shift) : edit.time);
        if (powerOnLine) {
            lines[r + 1] = time + "+Tous-" + duration;
        } else {
            lines[r + 2] = time + "+Tous";
        }
    } else {
        std::string line = perDayLine(edit.days, shift);
        if (powerOnLine) {
            if (!duration.empty()) {
                line += "-" + duration;
            }
            lines[r + 1] = line;
        } else {
            lines[r + 2] = line;
        }
    }
    saveTextLines(files, state.DataDir + kScheduleFile, lines);
}

}  // namespace vt::power
