// The address lists "liste.ip" and "liste.mac" as the cache tool loads them: written by the
// main program, by earlier runs, or edited by hand. The same file is read as both lists,
// then changed the way a run changes them, checking that every lookup still finds its line.

#include <algorithm>
#include <unordered_set>

#include "fuzz_input.h"
#include "platform/ascii_text.h"
#include "platform/machine_names.h"
#include "tools/arpsift/address_list.h"
#include "tools/arpsift/list_cleanup.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {
namespace {

using Lines = std::vector<std::string>;

// No two lines of a cleaned list share a name (nor, in "liste.mac", a value), so a second
// clean-up keeps every line.
void checkCleaned(const Lines& lines, bool macs) {
    std::unordered_set<std::string_view> names;
    std::unordered_set<std::string_view> values;
    for (const std::string& line : lines) {
        fuzz::require(!line.empty(), "une liste nettoyée n'a pas de ligne vide");
        fuzz::require(names.insert(nameField(line)).second, "un nom par ligne d'une liste");
        fuzz::require(!macs || values.insert(valueField(line)).second,
                      "une adresse MAC par ligne de liste.mac");
    }
    fuzz::require((macs ? cleanMacList(lines) : cleanIpList(lines)) == lines,
                  "une liste nettoyée ne change plus");
}

bool sameMac(std::string_view a, std::string_view b) {
    return FormatMac(a) == FormatMac(b);
}

// The line at `position` is found by its name, in any case, and by its MAC address unless an
// earlier line has the same one.
void checkFound(const AddressList& list, const std::string& line, std::size_t position, bool macs) {
    const std::string_view name = nameField(line);
    if (!name.empty()) {
        fuzz::require(list.findName(platform::toUpperAscii(name)) == position &&
                          list.findName(platform::toLowerAscii(name)) == position,
                      "une ligne se trouve par son nom, quelle que soit la casse");
    }
    if (macs) {
        const std::optional<std::size_t> found = list.findMac(valueField(line));
        fuzz::require(found.has_value() == !FormatMac(valueField(line)).empty(),
                      "une ligne se trouve par son adresse MAC");
        fuzz::require(!found || (*found <= position &&
                                 sameMac(valueField(list.at(*found)), valueField(line))),
                      "la recherche par adresse MAC donne la première ligne de l'adresse");
    }
}

// Every other line removed, then appended again at the end; the list sorted at last.
void checkChanges(const Lines& lines, bool macs) {
    AddressList list(lines, macs ? AddressList::Keys::NamesAndMacs : AddressList::Keys::Names);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        checkFound(list, lines[k], k, macs);
    }
    for (std::size_t k = 1; k < lines.size(); k += 2) {
        list.remove(k);
        const std::string_view name = nameField(lines[k]);
        fuzz::require(name.empty() || !list.findName(name), "une ligne ôtée ne se trouve plus");
    }
    for (std::size_t k = 1; k < lines.size(); k += 2) {
        list.append(lines[k]);
    }
    std::size_t appended = lines.size();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k % 2 == 0) {
            checkFound(list, lines[k], k, macs);
        } else {
            const std::string_view name = nameField(lines[k]);
            fuzz::require(name.empty() || list.findName(name) == appended,
                          "une ligne ajoutée se trouve à sa nouvelle place");
            ++appended;
        }
    }
    const Lines sorted = list.takeSortedLines();
    fuzz::require(sorted.size() == lines.size(), "le tri garde toutes les lignes");
    fuzz::require(std::is_sorted(sorted.begin(), sorted.end(),
                                 [](const std::string& a, const std::string& b) {
                                     return platform::compareNoCase(a, b) < 0;
                                 }),
                  "les lignes sortent triées sans égard à la casse");
}

}  // namespace
}  // namespace vt::arpsift

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::arpsift;
    std::vector<std::string> lines = vt::fuzz::fileLines(data, size);
    // A run drops the lines whose name or value no run would write, and logs them.
    std::erase_if(lines, [](const std::string& line) {
        const bool damaged = !damagedLineRefusal(line).empty();
        if (damaged) {
            vt::platform::shownMachineName(line);
        }
        return damaged;
    });
    for (const bool macs : {false, true}) {
        const std::vector<std::string> cleaned = macs ? cleanMacList(lines) : cleanIpList(lines);
        for (const std::string& line : cleaned) {
            const std::string_view name = nameField(line);
            vt::fuzz::require(name.empty() || vt::platform::markedMachineNameRefusal(name).empty(),
                              "une liste chargée ne nomme que des machines au nom valable");
        }
        checkCleaned(cleaned, macs);
        checkChanges(cleaned, macs);
    }
    return 0;
}
