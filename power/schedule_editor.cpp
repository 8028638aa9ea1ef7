#include "power/schedule_editor.h"

#include "core/text_file.h"

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

}  // namespace

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
