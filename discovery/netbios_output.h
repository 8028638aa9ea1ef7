#pragma once

// What the NET VIEW method reads in the output of the Windows commands "net view" and
// "nbtstat -a", in the layout of the French-language edition.

#include <optional>
#include <string>
#include <vector>

namespace vt::discovery {

struct NetViewListing {
    // The lines shown in the status bar while the header is skipped: from the second line up
    // to the first machine line, included; every line from the second when there is no
    // machine line.
    std::vector<std::string> headerLines;
    // The name of each machine line ("\\NAME   remark"), in order: the text after the two
    // backslashes up to the first blank, or the rest of the line when a long name leaves no
    // blank; the whole text of the name column, blanks and all, when it holds more than one
    // word before the remark column of the header. Empty for a line that names nothing.
    std::vector<std::string> names;
};

// The machine lines are the run of lines beginning with a backslash that starts at the first
// such line after the first line; it ends at an empty line, another line or the end.
NetViewListing readNetView(const std::vector<std::string>& lines);

struct NbtstatAnswer {
    std::string address;  // between the square brackets of the first line holding "IP"
    std::string name;     // the machine's <00> name (platform/netbios_rows.h), as written
    std::string mac;      // after "= " on the first line with "=" below the name
};

// Looks only at the lines between the first and the last. Nothing when one of the three is
// missing, or when the name or the MAC address is empty. Group names (the workgroup's <00>)
// and the roles a master browser or a domain controller holds are not the machine's and are
// passed over.
std::optional<NbtstatAnswer> readNbtstat(const std::vector<std::string>& lines);

}  // namespace vt::discovery
