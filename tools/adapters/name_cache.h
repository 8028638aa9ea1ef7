#pragma once

// The remote name cache that "nbtstat -c" prints: every name that vt_nbtstat and vt_net learn
// from a node status answer is kept for 600 seconds.
//
// It is the file "c:\vt_nbtnames.cache" (Windows-1252, CR LF), one name per line, five
// fields separated by one blank:
//
//     EXPIRY ADDRESS SUFFIX KIND NAME        e.g.  1765190400 10.0.0.17 20 U PC07
//
// EXPIRY is the Unix time in seconds at which the entry lapses; ADDRESS the node's dotted
// IPv4 address; SUFFIX the name's suffix as two hexadecimal digits; KIND "U" for a unique
// name or "G" for a group name; NAME the rest of the line, the name as printed (at most 15
// characters, blanks allowed). A line that does not read so is skipped. One name and suffix
// appear once: a name learned again replaces its line. Adapters run side by side (one
// nbtstat job per machine), so an update holds an exclusive lock on "c:\vt_nbtnames.lock"
// while it reads, merges and replaces the file, and the file is replaced atomically: no
// update is lost and a reader never sees half a file. The file is not synced to the disk: a
// crash of the machine may lose the last names learned, which are asked again.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "tools/adapters/ipv4_address.h"

namespace vt::adapters {

inline constexpr std::string_view kNameCachePath = "c:\\vt_nbtnames.cache";
inline constexpr std::string_view kNameCacheLockPath = "c:\\vt_nbtnames.lock";
inline constexpr std::int64_t kNameLifetimeSeconds = 600;
// Beyond this many names the ones closest to lapsing are dropped.
inline constexpr std::size_t kMostCachedNames = 4096;

struct CachedName {
    std::string name;  // as printed, Windows-1252
    std::uint8_t suffix = 0;
    bool group = false;
    Ipv4Address address;
    std::int64_t expiresAt = 0;  // Unix time in seconds

    bool operator==(const CachedName&) const = default;
};

std::vector<CachedName> parseNameCache(std::string_view bytes);
std::string formatNameCache(const std::vector<CachedName>& names);

// The names of `cached` still alive at `now`, with `learned` put in: a learned name replaces
// the line of the same name and suffix in place, a new one is added at the end.
std::vector<CachedName> mergeLearnedNames(std::vector<CachedName> cached,
                                          const std::vector<CachedName>& learned, std::int64_t now);

// The clock the cache's expiries are read against.
std::int64_t unixTimeNow();

class NameCache {
public:
    explicit NameCache(platform::FileSystem& files) : m_files(files) {}

    // Adds names learned at `now`, each to live for 600 s. False, with the French reason in
    // `error`, when the lock cannot be had or the file cannot be written.
    bool remember(const std::vector<CachedName>& learned, std::int64_t now, std::string& error);

    // The names alive at `now`, in the order of the file; none when there is no file.
    std::vector<CachedName> liveNames(std::int64_t now) const;

private:
    platform::FileSystem& m_files;
};

}  // namespace vt::adapters
