// vt_echo target result-file: whether hosts answer an ICMP echo request, written to a file.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/native_platform.h"
#include "platform/text_codec.h"
#include "tools/echo/raw_ping.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(vt::platform::argumentText(argv[i]));
    }
    if (arguments.size() < 2 || arguments[0].empty() || arguments[1].empty()) {
        return 0;  // nothing to do: not even the platform is set up
    }
    const std::unique_ptr<vt::platform::NativePlatform> native =
        vt::platform::createNativePlatform();
    return vt::echo::RawPing(arguments, native->platform(), std::cerr);
}
