// vt_ocs_hardware server[:port] login [password]: exports the hardware inventory, one record
// per inventoried machine, to "hardware.ocs" in the working directory. Without a password on
// the command line (the main program's way), it is read from VANTOREL_OCS_PASSWORD. The
// machine status window reads fields 6, 14, 16 and 20, the machine sheet fields 1, 6, 16 and
// 20; the machine's name is field 3.

#include <string_view>

#include "tools/inventory/inventory_export.h"

namespace {

constexpr std::string_view kColumns[] = {
    "ID",        "DEVICEID",   "NAME",       "WORKGROUP",  "USERDOMAIN", "OSNAME",
    "OSVERSION", "OSCOMMENTS", "PROCESSORT", "PROCESSORS", "PROCESSORN", "MEMORY",
    "SWAP",      "IPADDR",     "ETIME",      "LASTDATE",   "LASTCOME",   "QUALITY",
    "FIDELITY",  "USERID",     "TYPE",       "DESCRIPTION"};

}  // namespace

int main(int argc, char** argv) {
    const vt::inventory::ExportTable table{"vt_ocs_hardware", "hardware", "hardware.ocs", kColumns};
    return vt::inventory::inventoryToolMain(table, argc, argv);
}
