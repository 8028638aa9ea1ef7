// The outputs of "nbtstat -c", "arp -a" and "nbtstat -a" that the cache tool reads back from
// drive C: on Linux, what the adapters printed from the network's answers.

#include "fuzz_input.h"
#include "tools/arpsift/cache_parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::arpsift;
    const std::vector<std::string> lines = vt::fuzz::fileLines(data, size);

    const std::vector<std::string> names = nameCacheEntries(lines);
    const std::vector<std::string> macs = arpCacheEntries(lines);
    vt::fuzz::require(names.size() <= lines.size() && macs.size() <= lines.size(),
                      "au plus une entrée par ligne");
    statusMachineName(lines);
    return 0;
}
