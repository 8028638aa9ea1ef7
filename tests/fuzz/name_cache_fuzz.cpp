// The remote name cache "c:\vt_nbtnames.cache" as vt_nbtstat reads it before merging what it
// learned and before printing "nbtstat -c": whatever another adapter, or anything else, left
// in the file.

#include <algorithm>

#include "fuzz_input.h"
#include "tools/adapters/french_layouts.h"
#include "tools/adapters/name_cache.h"
#include "tools/adapters/netbios_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::adapters;
    const std::vector<CachedName> names = parseNameCache(vt::fuzz::bytesOf(data, size));
    for (const CachedName& entry : names) {
        vt::fuzz::require(!entry.name.empty() && entry.name.size() <= kNetbiosNameLength,
                          "un nom du cache a de 1 à 15 octets");
        vt::fuzz::require(entry.name.find_first_of("\r\n") == std::string::npos,
                          "un nom du cache tient sur sa ligne");
    }
    vt::fuzz::require(parseNameCache(formatNameCache(names)) == names,
                      "le cache réécrit se relit à l'identique");

    // Read at the expiry of one of its names, as a later run would.
    const std::int64_t now = names.empty() ? 0 : names[names.size() / 2].expiresAt;
    const std::vector<CachedName> alive = mergeLearnedNames(names, {}, now);
    vt::fuzz::require(alive.size() <= kMostCachedNames, "le cache garde au plus 4096 noms");
    vt::fuzz::require(std::all_of(alive.begin(), alive.end(),
                                  [now](const CachedName& entry) { return entry.expiresAt > now; }),
                      "le cache ne garde que des noms vivants");
    remoteCacheLayout(Ipv4Address{0x0A000002}, alive, now);
    return 0;
}
