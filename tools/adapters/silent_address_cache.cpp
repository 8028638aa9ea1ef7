#include "tools/adapters/silent_address_cache.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/text_codec.h"
#include "tools/adapters/name_cache.h"

namespace vt::adapters {

namespace {

struct SilentAddress {
    std::int64_t expiresAt = 0;
    Ipv4Address address;
};

std::vector<SilentAddress> liveEntries(const platform::FileSystem& files, std::int64_t now) {
    std::vector<SilentAddress> entries;
    const std::optional<std::string> bytes = files.readFile(kSilentAddressCachePath);
    if (!bytes) {
        return entries;
    }
    for (const std::string& line : platform::splitLines(*bytes)) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos) {
            continue;
        }
        const auto expiresAt = platform::parseDecimal(std::string_view(line).substr(0, blank),
                                                      std::numeric_limits<std::uint32_t>::max());
        const auto address = parseIpv4(std::string_view(line).substr(blank + 1));
        if (expiresAt && address && *expiresAt > now) {
            entries.push_back({*expiresAt, *address});
        }
    }
    return entries;
}

}  // namespace

bool SilentAddressCache::holds(Ipv4Address address, std::int64_t now) const {
    for (const SilentAddress& entry : liveEntries(m_files, now)) {
        if (entry.address == address) {
            return true;
        }
    }
    return false;
}

bool SilentAddressCache::remember(Ipv4Address address, std::int64_t now) {
    std::vector<std::string> lines;
    for (const SilentAddress& entry : liveEntries(m_files, now)) {
        if (entry.address != address) {
            lines.push_back(std::to_string(entry.expiresAt) + " " + toText(entry.address));
        }
    }
    lines.push_back(std::to_string(now + kNameLifetimeSeconds) + " " + toText(address));
    return m_files.writeFile(kSilentAddressCachePath, platform::joinLines(lines));
}

}  // namespace vt::adapters
