#pragma once

// What the tool reads in the outputs of the Windows commands, in the layouts of the
// French-language edition: the rows of a NetBIOS name table that name a machine, in the name
// cache and in a status query (platform/netbios_rows.h), and the dynamic entries
// ("dynamique") of the ARP cache. Every other line is ignored.

#include <optional>
#include <string>
#include <vector>

namespace vt::arpsift {

// "nbtstat -c": one "ip=name" entry per row that names a machine (a unique <00> or <20>
// name; group names and the browser and domain roles are none). The address is the first
// word after the type, empty when no blank follows it.
std::vector<std::string> nameCacheEntries(const std::vector<std::string>& lines);

// "arp -a": one "ip=MAC" entry per line that holds "dynamique"; the address is the line's
// first word, the MAC its second, in the normal form.
std::vector<std::string> arpCacheEntries(const std::vector<std::string>& lines);

// "nbtstat -a": the machine's own <00> name; nothing when no row gives it.
std::optional<std::string> statusMachineName(const std::vector<std::string>& lines);

}  // namespace vt::arpsift
