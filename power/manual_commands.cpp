#include "power/manual_commands.h"

#include "core/file_error.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"
#include "discovery/clean_autres.h"
#include "power/schedule_store.h"

namespace vt::power {

namespace {

constexpr int kRowHeight = 24;
constexpr int kFirstRowTop = 32;
constexpr int kFirstRowShutdownTag = -999;
constexpr int kDurationTagOffset = 1000;
// From row 999 on, the first row's shutdown tag and the duration offset would make two boxes
// share a tag: those rows' shutdown and power-on boxes take tags far from every other.
constexpr int kFirstWideRow = 999;
constexpr int kWideShutdownTagOffset = 1'000'000;
constexpr int kWidePowerOnTagOffset = 2'000'000;

}  // namespace

GroupRowLayout groupRowLayout(int row) {
    const int top = row * kRowHeight + kFirstRowTop;
    GroupRowLayout layout;
    layout.groupButton = {15, top, 100, 22};
    layout.shutdownBox = {128, top, 38, 22};
    layout.powerOnBox = {185, top, 38, 22};
    layout.durationBox = {230, top, 25, 22};
    layout.led = {285, top + 2, 17, 17};
    layout.onButton = {320, top, 22, 22};
    layout.offButton = {343, top, 22, 22};
    layout.groupButtonTag = row;
    layout.shutdownBoxTag = row == 0              ? kFirstRowShutdownTag
                            : row < kFirstWideRow ? -row
                                                  : -(row + kWideShutdownTagOffset);
    layout.powerOnBoxTag = row < kFirstWideRow ? row : row + kWidePowerOnTagOffset;
    layout.durationBoxTag = row + kDurationTagOffset;
    layout.ledTag = row;
    layout.onButtonTag = row;
    layout.offButtonTag = row;
    return layout;
}

TimeBoxTarget decodeTimeBoxTag(int tag) {
    if (tag == kFirstRowShutdownTag) {
        return {kShutdownEntry, 0};
    }
    if (tag <= -kWideShutdownTagOffset) {
        return {kShutdownEntry, -tag - kWideShutdownTagOffset};
    }
    if (tag < 0) {
        return {kShutdownEntry, -tag};
    }
    if (tag >= kWidePowerOnTagOffset) {
        return {kPowerOnEntry, tag - kWidePowerOnTagOffset};
    }
    if (tag > 999) {
        return {kDurationEntry, tag - kDurationTagOffset};
    }
    return {kPowerOnEntry, tag};
}

bool selectTimeBox(VtlVar& state, int tag) {
    const TimeBoxTarget target = decodeTimeBoxTag(tag);
    if (target.row < 0 || target.row >= static_cast<int>(state.GroupList.size())) {
        return false;
    }
    state.EditedTimeField = target.field;
    state.EditedGroupIndex = target.row;
    state.CurrentGroup = state.GroupList[static_cast<std::size_t>(target.row)];
    return true;
}

std::vector<std::string> groupPanelLines(const platform::FileSystem& files,
                                         std::string_view group) {
    if (!isPlainFileName(group)) {
        return {};
    }
    return loadTextLinesOrEmpty(files, group);
}

std::vector<std::string> normaliseMachineList(const std::vector<std::string>& memoLines) {
    std::vector<std::string> machines;
    for (const std::string& line : memoLines) {
        if (!line.empty()) {
            machines.push_back(toUpperAscii(line));
        }
    }
    return machines;
}

std::optional<std::vector<std::string>> BtnSaveClick(VtlVar& state, platform::FileSystem& files,
                                                     StatusSink& status,
                                                     const std::string& shownGroup,
                                                     const std::vector<std::string>& memoLines,
                                                     const MacAddressSearch& searchMacAddresses) {
    if (shownGroup.empty()) {
        return std::nullopt;
    }
    if (!isPlainFileName(shownGroup)) {
        throw FileError::cannotCreate(shownGroup);
    }
    std::vector<std::string> machines = normaliseMachineList(memoLines);
    saveTextLines(files, shownGroup, machines);
    if (searchMacAddresses) {
        searchMacAddresses(shownGroup);
    }
    discovery::CleanAutres(state, files, status);
    return machines;
}

bool addNeverShutdownMachine(const VtlVar& state, platform::FileSystem& files,
                             const std::string& typedName) {
    if (typedName.empty()) {
        return false;
    }
    AddToExclusionList(state, files, typedName);
    return true;
}

std::string shutdownQuestion(const platform::FileSystem& files, const std::string& group) {
    std::size_t machines = 0;
    for (const std::string& line : LoadGroupMachines(files, group)) {
        const std::string name = trim(line);
        machines += !name.empty() && name.back() != '*';
    }
    return "Éteindre les " + std::to_string(machines) + " machines du groupe " + group + " ?";
}

std::optional<std::string> beginCommentEdit(VtlVar& state, const std::string& group) {
    const int index = groupIndexOf(state, group);
    if (index < 0 || group == state.OtherGroupName) {
        return std::nullopt;
    }
    state.CommentGroupIndex = index;
    resizeSchedules(state);
    return state.Schedules[static_cast<std::size_t>(index)].Comment;
}

void endCommentEdit(VtlVar& state, platform::FileSystem& files, const std::string& comment) {
    resizeSchedules(state);
    const int index = state.CommentGroupIndex;
    if (index < 0 || index >= static_cast<int>(state.Schedules.size())) {
        return;
    }
    state.Schedules[static_cast<std::size_t>(index)].Comment = comment;
    SaveCommentFor(state, files, index, comment);
}

}  // namespace vt::power
