// The router's DHCP page, downloaded into the data folder by the IPR method: whatever the
// router, or whatever answers on its address, sent.

#include "core/strings.h"
#include "discovery/router_page.h"
#include "fuzz_input.h"

namespace {

// A cell's text: no tag in it, no blank around it, at most 255 characters.
void checkCell(const std::string& text) {
    vt::fuzz::require(text.find('<') == std::string::npos && text == vt::trim(text) &&
                          vt::characterCount(text) <= 255,
                      "le texte d'une cellule est sans balise, sans blanc autour, court");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::discovery;
    const std::vector<std::string> lines = vt::fuzz::fileLines(data, size);
    if (const auto leases = readRouterPage(lines)) {
        vt::fuzz::require(leases->size() * 3 <= lines.size(), "chaque bail lit ses propres lignes");
        for (const RouterLease& lease : *leases) {
            checkCell(lease.ip);
            checkCell(lease.name);
            checkCell(lease.mac);
        }
    }
    return 0;
}
