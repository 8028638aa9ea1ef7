#include "discovery/clean_autres.h"

#include <algorithm>

#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::discovery {

void CleanAutres(const VtlVar& state, platform::FileSystem& files, StatusSink& status) {
    const std::string otherFile = state.DataDir + state.OtherGroupName;
    std::vector<std::string> others = loadTextLinesOrEmpty(files, otherFile);

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
            const std::string key = StripMark(line);
            const auto listed = std::find_if(others.begin(), others.end(), [&](const auto& other) {
                return equalsNoCase(other, key);
            });
            if (listed != others.end()) {
                others.erase(listed);
            }
        }
    }
    saveTextLines(files, otherFile, others);
}

}  // namespace vt::discovery
