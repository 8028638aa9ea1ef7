#include "tools/adapters/mac_address.h"

#include <algorithm>
#include <cctype>

namespace vt::adapters {

std::string formatMac(const MacAddress& mac, MacCase letters) {
    std::string text = platform::macAddressText(mac);
    if (letters == MacCase::Lower) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    return text;
}

bool isZero(const MacAddress& mac) {
    return std::all_of(mac.begin(), mac.end(), [](std::uint8_t byte) { return byte == 0; });
}

}  // namespace vt::adapters
