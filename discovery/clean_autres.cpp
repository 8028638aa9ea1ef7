#include "discovery/clean_autres.h"

#include <deque>
#include <unordered_map>

#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::discovery {

void CleanAutres(const VtlVar& state, platform::FileSystem& files, StatusSink& status) {
    const std::string otherFile = state.DataDir + state.OtherGroupName;
    const std::vector<std::string> others = loadTextLinesOrEmpty(files, otherFile);
    // The lines of "Autres" by their upper-case text, each name's lines in file order: a
    // listed machine takes out the first of its lines still there, as a scan from the top
    // would, without scanning the list once per machine.
    std::unordered_map<std::string, std::deque<std::size_t>> linesByName;
    for (std::size_t i = 0; i < others.size(); ++i) {
        linesByName[toUpperAscii(others[i])].push_back(i);
    }
    std::vector<bool> removed(others.size(), false);

    for (const std::string& group : state.GroupList) {
        // Names are found without regard to case: "autres" would be the file "Autres" itself.
        if (equalsNoCase(group, state.OtherGroupName)) {
            continue;
        }
        const std::vector<std::string> machines =
            isPlainFileName(group) ? loadTextLinesOrEmpty(files, state.DataDir + group)
                                   : std::vector<std::string>{};
        status.setStatus("Nettoyage de " + group + "veuillez patienter... ");
        for (const std::string& line : machines) {
            const auto listed = linesByName.find(toUpperAscii(StripMark(line)));
            if (listed != linesByName.end() && !listed->second.empty()) {
                removed[listed->second.front()] = true;
                listed->second.pop_front();
            }
        }
    }
    std::vector<std::string> kept;
    kept.reserve(others.size());
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (!removed[i]) {
            kept.push_back(others[i]);
        }
    }
    saveTextLines(files, otherFile, kept);
}

}  // namespace vt::discovery
