// The inventory exports "hardware.ocs" and "softwares.ocs" as the status window and the
// machine sheet read them: written by the export tools from the inventory database, whose
// records the machines themselves report. The same bytes are read as both exports.

#include "core/strings.h"
#include "fuzz_input.h"
#include "status/inventory.h"

namespace vt::status {
namespace {

// Every field of the last record finds that record, as a machine inventoried twice is found
// in its later record; a field ending in the never-shutdown mark names another machine.
void checkLastRecordFound(const HardwareInventory& inventory, const std::string& last) {
    std::string_view rest = last;
    while (true) {
        const std::size_t separator = rest.find(';');
        const std::string field = trim(rest.substr(0, separator));
        if (!field.empty() && field.back() != '*') {
            fuzz::require(inventory.recordOf(field) == inventory.recordOf(toLowerAscii(field)) &&
                              inventory.recordOf(field) != nullptr &&
                              *inventory.recordOf(field) == last,
                          "chaque champ du dernier enregistrement le retrouve");
        }
        if (separator == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(separator + 1);
    }
}

}  // namespace
}  // namespace vt::status

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::status;
    const std::vector<std::string> records = vt::fuzz::fileLines(data, size);
    const HardwareInventory inventory(records);
    if (!records.empty()) {
        checkLastRecordFound(inventory, records.back());
    }
    // The windows read the fields of the records of the machines they show, and the software
    // of one machine; a few records stand for them all.
    constexpr std::size_t kRecordsRead = 8;
    for (std::size_t r = 0; r < records.size() && r < kRecordsRead; ++r) {
        const std::string& record = records[r];
        // The user's field is the farthest: its walk passes every field the windows show.
        for (const int k : {kIdentifierField, kUserField}) {
            vt::fuzz::require(inventoryField(record, k).find(';') == std::string::npos,
                              "un champ ne contient pas de séparateur");
        }
        shownSystemName(inventoryField(record, kSystemField));
        vt::fuzz::require(
            installedSoftware(records, inventoryField(record, kIdentifierField)).size() <=
                records.size(),
            "au plus un logiciel par enregistrement");
    }
    return 0;
}
