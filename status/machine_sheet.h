#pragma once

// What the machine sheet shows of one machine: its addresses from the address lists and what
// the two inventory exports hold about it. The sheet only reads.

#include <string>
#include <string_view>
#include <vector>

#include "core/VtlVar.h"
#include "platform/platform.h"
#include "status/inventory_exports.h"

namespace vt::status {

// Shown in the software list when there is no hardware export to read.
inline constexpr const char* kNoHardwareExport =
    "Pas d'inventaire : le fichier hardware.ocs n'existe pas.";

struct MachineSheetContents {
    std::string nom;         // the group-file line, as the status window gave it
    std::string os;          // the system as the export gives it, never shortened here
    std::string ip;          // from the address lists; WolTargetIp when not listed
    std::string mac;         // from the address lists; empty when not listed
    std::string inventaire;  // date of the last inventory
    std::string userid;      // last user
    std::string model;       // no export field holds them: always empty
    std::string ram;
    std::vector<std::string> logiciels;
};

// The sheet of the machine a group-file line names. The addresses follow the one rule of the
// group lines (plain name first, then the line as written); the inventory record is found by
// the machine's plain name (status/inventory.h). Without "hardware.ocs" the inventory fields
// are empty and the software list says why; the address lists are read again first when
// their files changed; without "softwares.ocs" the list is empty.
// FileError when an export exists but cannot be read.
MachineSheetContents fillMachineSheet(VtlVar& state, const platform::FileSystem& files,
                                      InventoryExports& exports, std::string_view machineLine);

}  // namespace vt::status
