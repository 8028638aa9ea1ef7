#pragma once

// The rows of a NetBIOS name table as the French-language "nbtstat" prints them, in a node
// status ("nbtstat -a") and in the remote name cache ("nbtstat -c"):
//     "    PC07           <00>  UNIQUE          10.0.0.17           600"
// the name, its suffix in angle brackets, its type (UNIQUE, or GROUPE for a group name), then
// the state, or the address and the lifetime. The program and the cache tool take a
// machine's name from these rows by the same rule.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt::platform {

struct NetbiosRow {
    std::string name;  // as written, without the blanks around it
    std::uint8_t suffix = 0;
    bool unique = false;
    std::string rest;  // after the type: at most 255 characters, without blanks around them
};

// The row a line holds: the last "<XX>" of two hexadecimal digits that blanks and a type word
// follow ends the name, so a name that holds "<" is read whole. Nothing for any other line.
std::optional<NetbiosRow> readNetbiosRow(std::string_view line);

// True when the row is a name of the machine itself: a unique name of its workstation (<00>)
// or server (<20>) service. Group names (the workgroup, the domain), the browser and domain
// roles a node takes under the workgroup's name (<1B>, <1C>, <1D>, <1E>) and the names of
// other services (<03> may be a user's) are not.
bool namesTheMachine(const NetbiosRow& row);

// The line of a node status that gives the machine's name: the first of `lines[from]` up to,
// not including, `lines[end]` whose row names the machine with the suffix <00>.
std::optional<std::size_t> findMachineRow(const std::vector<std::string>& lines, std::size_t from,
                                          std::size_t end);

}  // namespace vt::platform
