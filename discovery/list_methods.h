#pragma once

// The two discovery methods that read lists already on disk: an inventory export in CSV form
// (the column headed "Machine"), and the passive detection, which files every name of the
// address lists that the cache tool fills.

#include <optional>
#include <string>
#include <string_view>

#include "core/VtlVar.h"
#include "core/services.h"

namespace vt::discovery {

// Index of the column headed exactly "Machine", counted from 0; nothing when the header has no
// such field followed by a comma (a "Machine" column that ends the header is not recognised).
// Only the first 255 characters after each comma are looked at.
std::optional<std::size_t> csvMachineColumn(std::string_view header);

// The machine field of a data line: the text of the column before the comma that follows it;
// empty when no comma follows it.
std::string csvMachineName(std::string_view line, std::size_t column);

// Files the machine of every data line (in lower case, stored in upper case) under the groups,
// with status messages. FileError when the file cannot be read: nothing is changed then.
void importCsv(const VtlVar& state, const Services& services, const std::string& path);

// Reloads MacList from "liste.mac" and IpList from "liste.ip" (working directory) and files
// every name they hold. False, without a message, when one of the files does not exist (a
// missing "liste.ip" leaves MacList reloaded). FileError when a list cannot be read or a group
// file written.
bool passiveAnalysis(VtlVar& state, const Services& services);

}  // namespace vt::discovery
