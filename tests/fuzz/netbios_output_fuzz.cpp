// The outputs of "net view" and "nbtstat -a" that the discovery's NET VIEW method reads back
// from the files its batch jobs wrote: on Linux, what vt_net and vt_nbtstat printed from the
// answers of the network's nodes.

#include "core/strings.h"
#include "discovery/netbios_output.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::discovery;
    const std::vector<std::string> lines = vt::fuzz::fileLines(data, size);

    const NetViewListing listing = readNetView(lines);
    vt::fuzz::require(listing.headerLines.size() + listing.names.size() <= lines.size(),
                      "la liste de NET VIEW ne lit chaque ligne qu'une fois");

    if (const std::optional<NbtstatAnswer> answer = readNbtstat(lines)) {
        vt::fuzz::require(!answer->name.empty() && !answer->mac.empty(),
                          "une réponse de NBTSTAT a un nom et une adresse MAC");
        vt::fuzz::require(vt::characterCount(answer->mac) <= 255,
                          "l'adresse MAC lue a au plus 255 caractères");
    }
    return 0;
}
