#pragma once

// The addresses that answered a node status with "port unreachable": live hosts without the
// name service (printers, phones, PCs without file sharing). vt_nbtstat does not ask them
// again while the names it learns would live, 600 seconds, so a run of the cache tool that
// meets them again costs nothing.
//
// It is the file "c:\vt_nbtsilent.cache" beside the name cache, one address per line:
//
//     EXPIRY ADDRESS        e.g.  1765190400 10.0.0.17
//
// A line that does not read so is skipped. The file is replaced whole and atomically, without
// a lock: when two adapters add an address at the same moment one of them may be lost, which
// only costs that address one more quick refusal.

#include <cstdint>
#include <string_view>

#include "platform/platform.h"
#include "tools/adapters/ipv4_address.h"

namespace vt::adapters {

inline constexpr std::string_view kSilentAddressCachePath = "c:\\vt_nbtsilent.cache";

class SilentAddressCache {
public:
    explicit SilentAddressCache(platform::FileSystem& files) : m_files(files) {}

    // True when the address refused the name service less than 600 s before `now`.
    bool holds(Ipv4Address address, std::int64_t now) const;
    // Notes a refusal at `now`, dropping the lapsed lines; false when the file cannot be
    // written.
    bool remember(Ipv4Address address, std::int64_t now);

private:
    platform::FileSystem& m_files;
};

}  // namespace vt::adapters
