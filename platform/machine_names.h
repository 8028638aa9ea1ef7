#pragma once

// Which machine names the system takes. Names learned from the network (the NetBIOS name
// cache and node status, "net view", DHCP leases, the router page) and from the inventory
// export become lines of the address lists ("name address", read back up to the first blank)
// and of the group files, and from there arguments of batch lines. The program and the cache
// tool refuse the same names, so a name that one of them would not use never stands in a list
// that the other reads, nor takes the place of a sound line there.

#include <cstddef>
#include <string>
#include <string_view>

namespace vt::platform {

inline constexpr std::size_t kMachineNameLimit = 255;

// Why a machine name cannot stand in a list line, a group line or a command (a French
// reason); empty when it can. Refused: an empty name; more than 255 characters; a control
// character (C0, DEL, C1), "\", "/", ":" or ".." (vt_echo would read a file of that name);
// a blank or a no-break space, a double quote, one of & | < > ^ %, a wildcard * or ? (a
// trailing "*" marks a group line), or a leading "-" (a switch). Accented letters are names.
std::string machineNameRefusal(std::string_view name);
bool isUsableMachineName(std::string_view name);

// The same rule for a name as a group line or the program's commands hold it, which may end
// with the never-shutdown mark ("PC07*"): the mark is no part of the name.
std::string markedMachineNameRefusal(std::string_view name);

// A name as a log line shows it: control characters as ".", the first 255 characters, then
// "…" when it is longer.
std::string shownMachineName(std::string_view name);

}  // namespace vt::platform
