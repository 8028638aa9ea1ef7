#pragma once

// The clean-up of the two address lists when a run loads them. Both passes decide each line
// by what follows it in the file, and both run in one or two passes over the list, with hash
// tables instead of comparing every pair of lines.

#include <string>
#include <string_view>
#include <vector>

namespace vt::arpsift {

// Why a line of either list is one that no run keeps (a French reason); empty when it is
// kept. A line whose name the machine-name rule refuses (platform/machine_names.h; a name may
// carry the never-shutdown mark, as the program's own lines may), or whose
// value holds a blank or a control character: the first word of a name with a blank stands as
// a name there, and the clean-ups below would drop that name's sound line with it. Lines
// without a blank are left to the clean-ups.
std::string damagedLineRefusal(std::string_view line);

// "liste.ip": every line in ASCII lower case; of the lines that share a name field only the
// last is kept; empty lines go.
std::vector<std::string> cleanIpList(std::vector<std::string> lines);

// "liste.mac": every line in the MAC normal form (the name is upper-cased too); lines that
// share a MAC or a name are dropped in pairs, the caches rebuilding the right one; empty
// lines go. The pairs are those of a walk from the top that pairs each line left with the
// first later line left that shares its MAC or its name: of three lines with one MAC, the
// first two go and the third stays. A line without a name (no blank) pairs with any later
// nameless line, and once any line has gone, every nameless line after it goes too.
std::vector<std::string> cleanMacList(std::vector<std::string> lines);

}  // namespace vt::arpsift
