#include "core/group_source.h"

#include <algorithm>

#include "core/names.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt {

namespace {

constexpr std::size_t kShortestController = 3;

}  // namespace

void takeLogonServer(VtlVar& state, const platform::System& system) {
    if (state.Prefs.pdc.empty()) {
        state.Prefs.pdc = system.environment(kLogonServerVariable).value_or(std::string());
    }
}

std::string controllerAddress(std::string_view typed) {
    std::string address = trim(typed);
    if (characterCount(address) < kShortestController) {
        return {};
    }
    if (address[0] != '\\') {
        address.insert(0, "\\");
    }
    if (address[1] != '\\') {
        address.insert(0, "\\");
    }
    return address;
}

std::vector<SkippedGroupLine> confirmGroupSource(VtlVar& state, platform::FileSystem& files,
                                                 const WindowGeometry& mainWindow,
                                                 std::string_view typedController, bool useEsu,
                                                 const std::vector<std::string>& listLines) {
    state.Prefs.pdc = controllerAddress(typedController);
    state.Prefs.esu = useEsu ? "true" : "false";
    SavePreferences(state, files, mainWindow);

    std::vector<std::string> names;
    std::vector<std::size_t> usable;  // indexes into listLines
    std::vector<SkippedGroupLine> skipped;
    for (std::size_t i = 0; i < listLines.size(); ++i) {
        std::string name = trim(listLines[i]);
        const std::string refusal = name.empty() ? "ligne vide" : groupNameRefusal(name);
        if (refusal.empty()) {
            usable.push_back(i);
        } else {
            skipped.push_back(SkippedGroupLine{i + 1, shownName(listLines[i]), refusal});
        }
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    saveTextLines(files, state.DataDir + kLocalGroupsFile, names);

    for (const std::size_t i : usable) {
        const std::string path = state.DataDir + trim(listLines[i]);
        // An existing file is the group's list of machines: it is never written over.
        if (files.createNewFile(path) == platform::NewFileOutcome::Failed) {
            skipped.push_back(
                SkippedGroupLine{i + 1, trim(listLines[i]), "impossible de créer " + path});
        }
    }
    std::stable_sort(skipped.begin(), skipped.end(),
                     [](const SkippedGroupLine& a, const SkippedGroupLine& b) {
                         return a.lineNumber < b.lineNumber;
                     });
    return skipped;
}

std::string skippedGroupLinesMessage(const std::vector<SkippedGroupLine>& skipped) {
    if (skipped.empty()) {
        return {};
    }
    std::string message = skipped.size() == 1
                              ? "Cette ligne de la liste n'a pas donné de groupe :"
                              : "Ces lignes de la liste n'ont pas donné de groupe :";
    for (const SkippedGroupLine& line : skipped) {
        message += "\nligne " + std::to_string(line.lineNumber) + " « " + line.text +
                   " » : " + line.reason;
    }
    return message;
}

}  // namespace vt
