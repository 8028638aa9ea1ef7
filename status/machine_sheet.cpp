#include "status/machine_sheet.h"

#include "core/address_lists.h"
#include "core/utils.h"
#include "status/inventory.h"
#include "status/inventory_exports.h"

namespace vt::status {

MachineSheetContents fillMachineSheet(VtlVar& state, const platform::FileSystem& files,
                                      InventoryExports& exports, std::string_view machineLine) {
    MachineSheetContents sheet;
    sheet.nom = std::string(machineLine);
    refreshAddressLists(state, files);
    const GroupLineAddresses addresses(state);
    sheet.ip = addresses.ip(machineLine);
    sheet.mac = addresses.mac(machineLine);

    const HardwareInventory* inventory = exports.hardware(files);
    if (inventory == nullptr) {
        sheet.logiciels.emplace_back(kNoHardwareExport);
        return sheet;
    }
    const std::string* record = inventory->recordOf(machineLine);
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
    if (auto software = exports.software(files, identifier)) {
        sheet.logiciels = std::move(*software);
    }
    return sheet;
}

}  // namespace vt::status
