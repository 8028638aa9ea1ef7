#include "status/machine_sheet.h"

#include "core/utils.h"
#include "status/inventory.h"

namespace vt::status {

MachineSheetContents fillMachineSheet(const VtlVar& state, const platform::FileSystem& files,
                                      std::string_view machineLine) {
    MachineSheetContents sheet;
    sheet.nom = std::string(machineLine);
    const GroupLineAddresses addresses(state);
    sheet.ip = addresses.ip(machineLine);
    sheet.mac = addresses.mac(machineLine);

    std::optional<std::vector<std::string>> hardware = loadInventoryExport(files, kHardwareExport);
    if (!hardware) {
        sheet.logiciels.emplace_back(kNoHardwareExport);
        return sheet;
    }
    const HardwareInventory inventory(std::move(*hardware));
    const std::string* record = inventory.recordOf(machineLine);
    if (record == nullptr) {
        return sheet;
    }
    const std::string identifier = inventoryField(*record, kIdentifierField);
    sheet.os = inventoryField(*record, kSystemField);
    sheet.inventaire = inventoryField(*record, kLastInventoryField);
    sheet.userid = inventoryField(*record, kUserField);
    if (identifier.empty()) {
        return sheet;
    }
    if (const auto software = loadInventoryExport(files, kSoftwareExport)) {
        sheet.logiciels = installedSoftware(*software, identifier);
    }
    return sheet;
}

}  // namespace vt::status
