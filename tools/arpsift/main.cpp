// vt_arpsift: merges what the machine's ARP and NetBIOS caches and a DHCP leases file know
// into the address lists beside it. No arguments; started hidden by the main program.

#include <charconv>
#include <iostream>
#include <memory>
#include <string>

#include "platform/native_platform.h"
#include "tools/arpsift/cache_sift.h"

namespace {

// Lets the tests shorten the wait for a command that hangs; the installed program never
// sets it.
constexpr std::string_view kTimeLimitVariable = "VANTOREL_ARPSIFT_LIMIT_MS";

std::chrono::milliseconds commandTimeLimit(const vt::platform::System& system) {
    const std::optional<std::string> text = system.environment(kTimeLimitVariable);
    long long milliseconds = 0;
    if (!text || text->empty() ||
        std::from_chars(text->data(), text->data() + text->size(), milliseconds).ptr !=
            text->data() + text->size() ||
        milliseconds <= 0) {
        return vt::arpsift::kCommandTimeLimit;
    }
    return std::chrono::milliseconds(milliseconds);
}

}  // namespace

int main() {
    const std::unique_ptr<vt::platform::NativePlatform> native =
        vt::platform::createNativePlatform();
    vt::platform::Platform& platform = native->platform();
    vt::arpsift::SiftSettings settings;
    settings.directory = platform.system.executableDirectory();
    settings.commandTimeLimit = commandTimeLimit(platform.system);
    return vt::arpsift::CacheSift(platform, settings, std::cout, std::cerr).run();
}
