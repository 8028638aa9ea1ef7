// An inventory export in CSV form that the administrator imports: the "Machine" column of
// its header, then the machine field of every data line.

#include "discovery/list_methods.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::discovery;
    const std::vector<std::string> lines = vt::fuzz::fileLines(data, size);
    if (lines.empty()) {
        return 0;
    }
    const std::optional<std::size_t> column = csvMachineColumn(lines.front());
    if (!column) {
        return 0;
    }
    vt::fuzz::require(csvMachineName(lines.front(), *column) == "Machine",
                      "la colonne trouvée est celle qui porte « Machine »");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        vt::fuzz::require(csvMachineName(lines[i], *column).find(',') == std::string::npos,
                          "le nom d'une machine est le texte d'une seule colonne");
    }
    return 0;
}
