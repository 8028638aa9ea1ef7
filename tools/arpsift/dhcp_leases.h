#pragma once

// The leases of an ISC DHCP server's "dhcpd.leases" file, as far as the tool uses them: a
// block opens on a line with "lease", the address and "{", and closes on the next line with
// "}"; inside it, the "hardware ethernet" line gives the MAC address and a later
// "client-hostname" line the name, between double quotes.

#include <string>
#include <vector>

namespace vt::arpsift {

struct LeaseRecord {
    std::string ip;
    std::string mac;  // as the file writes it, normally lower case with colons
    std::string name;
};

// The blocks that hold an ethernet line followed by a hostname line, in file order (a lease
// renewed later comes again). A file of fewer than 4 lines holds none; a block whose "}"
// never comes ends the walk. A hostname line with fewer than two double quotes gives an empty
// name.
std::vector<LeaseRecord> leaseRecords(const std::vector<std::string>& lines);

}  // namespace vt::arpsift
