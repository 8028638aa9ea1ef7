#include "power/schedule_editor.h"

#include <algorithm>
#include <cctype>

#include "core/strings.h"
#include "core/text_file.h"
#include "power/scheduler.h"

namespace vt::power {

namespace {

bool editsPowerOnLine(int editedTimeField) {
    return editedTimeField != kShutdownEntry;
}

// The time of the entry "time+day": the text between the last "," before the day (or the
// start of the line) and the "+" before the day.
std::string entryTimeBefore(const std::string& line, std::size_t dayAt) {
    if (dayAt == 0) {
        return {};
    }
    const std::size_t plus = line.rfind('+', dayAt - 1);
    if (plus == std::string::npos) {
        return {};
    }
    const std::size_t comma = plus == 0 ? std::string::npos : line.rfind(',', plus - 1);
    const std::size_t begin = comma == std::string::npos ? 0 : comma + 1;
    return line.substr(begin, plus - begin);
}

void fillFromLine(ScheduleEditorContents& contents, const std::string& line, bool powerOnLine) {
    const std::size_t tous = line.find("Tous");
    contents.everyDay = tous != std::string::npos;
    if (powerOnLine) {
        const std::size_t dash = line.find('-');
        if (dash != std::string::npos) {
            contents.duration = line.substr(dash + 1);
        }
    }
    if (tous != std::string::npos && tous > 0) {
        const std::size_t plus = line.rfind('+', tous - 1);
        if (plus != std::string::npos) {
            contents.time = line.substr(0, plus);
        }
    }
    for (std::size_t d = 0; d < contents.days.size(); ++d) {
        const std::size_t dayAt = line.find(DayName(static_cast<int>(d) + 1));
        if (dayAt != std::string::npos) {
            contents.days[d] = entryTimeBefore(line, dayAt);
        }
    }
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

const char* const kTimeHint =
    "tapez les heures de 0 à 23, deux-points, puis les minutes de 0 à 59 (par exemple 7:30 ou "
    "7h30)";

std::string quotedTime(std::string_view time) {
    return "« " + std::string(time) + " »";
}

// The time and the shift every synchronised group would get.
std::optional<std::string> synchronisationRefusal(const VtlVar& state, const std::string& time) {
    for (std::size_t i = 1; i < state.GroupList.size(); ++i) {
        const std::string shifted = AddMinutes(time, static_cast<int>(i));
        if (!isTimeOfDay(shifted)) {
            return "Avec « synchroniser tous les groupes avec ces horaires », le groupe " +
                   state.GroupList[i] + " serait programmé à " + shifted +
                   ", une heure qui n'existe pas : choisissez une heure plus tôt.";
        }
    }
    return std::nullopt;
}

std::optional<std::string> durationRefusal(const std::string& duration,
                                           const std::vector<std::string>& powerOnTimes) {
    if (duration.empty()) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> minutes = parseVtlInt(duration);
    if (!minutes || *minutes <= 0) {
        return "La durée " + quotedTime(duration) +
               " doit être un nombre entier de minutes, au moins 1.";
    }
    for (const std::string& time : powerOnTimes) {
        if (time != "0:00" && !derivedShutdownTime(GroupDaySchedule{time, "0:00", duration, ""})) {
            return "Un allumage à " + time + " pour " + duration +
                   " mn finirait après minuit : l'arrêt ne se ferait jamais.";
        }
    }
    return std::nullopt;
}

}  // namespace

std::string typedTime(std::string_view text) {
    std::string time = trim(text);
    if (time.find(':') != std::string::npos) {
        return time;
    }
    const std::size_t h = time.find_first_of("hH");
    if (h == std::string::npos || time.find_first_of("hH", h + 1) != std::string::npos) {
        return time;
    }
    const std::string hours = time.substr(0, h);
    const std::string minutes = time.substr(h + 1);
    if (!allDigits(hours) || (!minutes.empty() && !allDigits(minutes))) {
        return time;
    }
    return hours + ":" + (minutes.empty() ? "00" : minutes);
}

std::optional<std::string> prepareScheduleEditorSave(const VtlVar& state,
                                                     ScheduleEditorContents& contents) {
    std::vector<std::string> powerOnTimes;
    if (contents.everyDay) {
        contents.time = typedTime(contents.time);
        if (contents.time.empty()) {
            contents.time = "0:00";
        }
        if (!isTimeOfDay(contents.time)) {
            return "L'heure " + quotedTime(contents.time) + " n'existe pas : " + kTimeHint + ".";
        }
        if (contents.synchronise) {
            if (auto refusal = synchronisationRefusal(state, contents.time)) {
                return refusal;
            }
        }
        powerOnTimes.push_back(contents.time);
    } else {
        for (std::size_t d = 0; d < contents.days.size(); ++d) {
            std::string& day = contents.days[d];
            day = typedTime(day);
            if (day.empty()) {
                continue;
            }
            if (!isTimeOfDay(day)) {
                return "L'heure du " + DayName(static_cast<int>(d) + 1) + " " + quotedTime(day) +
                       " n'existe pas : " + kTimeHint + ".";
            }
            if (contents.synchronise) {
                if (auto refusal = synchronisationRefusal(state, day)) {
                    return refusal;
                }
            }
            // The file keeps per-day times as the store writes them, minutes on two digits.
            powerOnTimes.push_back(AddMinutes(day, 0));
        }
    }
    if (editsPowerOnLine(state.EditedTimeField)) {
        contents.duration = trim(contents.duration);
        return durationRefusal(contents.duration, powerOnTimes);
    }
    return std::nullopt;
}

ScheduleEditorLayout scheduleEditorLayout(bool everyDay) {
    if (everyDay) {
        return ScheduleEditorLayout{false, true, 210, 95, 95, 188, 148};
    }
    return ScheduleEditorLayout{true, false, 393, 192, 264, 304, 328};
}

ScheduleEditorContents fillScheduleEditor(const VtlVar& state, const platform::FileSystem& files,
                                          bool everyDayBefore) {
    ScheduleEditorContents contents;
    const bool powerOnLine = editsPowerOnLine(state.EditedTimeField);
    contents.everyDay = everyDayBefore;
    if (powerOnLine) {
        contents.title = kPowerOnTitle;
        contents.durationVisible = true;
        contents.everyDayEnabled = true;
    } else {
        contents.title = kShutdownTitle;
        contents.durationVisible = false;
        contents.everyDay = true;
    }

    const std::vector<std::string> lines = loadTextLinesOrEmpty(files, kScheduleFile);
    const int record = findScheduleRecord(lines, state.CurrentGroup);
    if (record >= 0) {
        const std::size_t lineIndex = static_cast<std::size_t>(record) + (powerOnLine ? 1 : 2);
        if (lineIndex < lines.size()) {
            fillFromLine(contents, lines[lineIndex], powerOnLine);
        }
    }
    contents.layout = scheduleEditorLayout(contents.everyDay);
    return contents;
}

void saveScheduleEditor(VtlVar& state, platform::FileSystem& files,
                        const ScheduleEditorContents& contents) {
    ScheduleEdit edit;
    edit.entryPoint = state.EditedTimeField;
    edit.time = contents.time;
    edit.duration = contents.duration;
    edit.mode = contents.everyDay ? ScheduleMode::Tous : ScheduleMode::EditBox;
    edit.days = contents.days;
    edit.synchronise = contents.synchronise;

    if (!contents.synchronise) {
        SaveSettingsFor(state, files, state.EditedGroupIndex, edit);
        return;
    }
    for (std::size_t i = 0; i < state.GroupList.size(); ++i) {
        SaveSettingsFor(state, files, static_cast<int>(i), edit);
    }
}

}  // namespace vt::power
