// vt_ocs_softwares server[:port] login [password]: exports the software inventory, one record
// per software installed on a machine, to "softwares.ocs" in the working directory. Without a
// password on the command line (the main program's way), it is read from
// VANTOREL_OCS_PASSWORD. The machine sheet lists field 4 of the records whose field 2 is the
// machine's identifier.

#include <string_view>

#include "tools/inventory/inventory_export.h"

namespace {

constexpr std::string_view kColumns[] = {"ID", "HARDWARE_ID", "PUBLISHER", "NAME", "VERSION"};

}  // namespace

int main(int argc, char** argv) {
    const vt::inventory::ExportTable table{"vt_ocs_softwares", "softwares", "softwares.ocs",
                                           kColumns};
    return vt::inventory::inventoryToolMain(table, argc, argv);
}
