#include "tools/adapters/mac_address.h"

#include <algorithm>

namespace vt::adapters {

std::string formatMac(const MacAddress& mac, HexCase hexCase) {
    std::string text;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i > 0) {
            text += '-';
        }
        text += hexByte(mac[i], hexCase);
    }
    return text;
}

bool isZero(const MacAddress& mac) {
    return std::all_of(mac.begin(), mac.end(), [](std::uint8_t byte) { return byte == 0; });
}

}  // namespace vt::adapters
