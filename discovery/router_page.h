#pragma once

// The DHCP page of the IPR router, as its HTML source holds it, one tag a line: somewhere the
// title "Baux dhcp", then the table's header row (a line with "MAC", then one with "</tr"),
// then one row per lease ("<tr", one line per cell "<td": a number, the IP address, the
// machine's name, its MAC address, ...; "</tr"), and "</table" at the end.

#include <optional>
#include <string>
#include <vector>

namespace vt::discovery {

struct RouterLease {
    std::string ip;
    std::string name;
    std::string mac;
};

// The text of a cell line: after its first ">" (at most 255 characters of it), up to the next
// "<", without blanks around it.
std::string cellText(const std::string& line);

// The leases of the page, as the page shows them; nothing when the title or the header row is
// missing. A page that ends inside a row ends the table there.
std::optional<std::vector<RouterLease>> readRouterPage(const std::vector<std::string>& lines);

}  // namespace vt::discovery
