// The leases file "dhcpd.leases" that a DHCP server writes beside the cache tool.

#include "fuzz_input.h"
#include "platform/ascii_text.h"
#include "tools/arpsift/dhcp_leases.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::arpsift;
    const std::vector<std::string> lines = vt::fuzz::fileLines(data, size);
    const std::vector<LeaseRecord> records = leaseRecords(lines);
    // A lease, its ethernet line and its hostname line are three lines that no other lease uses.
    vt::fuzz::require(records.size() * 3 <= lines.size(), "chaque bail lit trois lignes à lui");
    for (const LeaseRecord& record : records) {
        vt::fuzz::require(record.name.find('"') == std::string::npos &&
                              record.name == vt::platform::trim(record.name),
                          "le nom d'un bail est le texte entre ses guillemets, sans blanc autour");
    }
    return 0;
}
