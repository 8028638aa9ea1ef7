#pragma once

// What the tool reads in the outputs of the Windows commands, in the layouts of the
// French-language edition: unique NetBIOS names ("UNIQUE") of the name cache and of a status
// query, dynamic entries ("dynamique") of the ARP cache. Every other line is ignored.

#include <optional>
#include <string>
#include <vector>

namespace vt::arpsift {

// "nbtstat -c": one "ip=name" entry per line that holds "UNIQUE", whatever the name's suffix.
// The name is the text before the "<" of the suffix; the address is the first word after
// "UNIQUE", empty when no blank follows it.
std::vector<std::string> nameCacheEntries(const std::vector<std::string>& lines);

// "arp -a": one "ip=MAC" entry per line that holds "dynamique"; the address is the line's
// first word, the MAC its second, in the normal form.
std::vector<std::string> arpCacheEntries(const std::vector<std::string>& lines);

// "nbtstat -a": the name on the first line that holds "UNIQUE"; nothing when none does.
std::optional<std::string> firstUniqueName(const std::vector<std::string>& lines);

}  // namespace vt::arpsift
