#include "tools/adapters/hex_text.h"

namespace vt::adapters {

namespace {

char hexDigit(unsigned value, HexCase hexCase) {
    return (hexCase == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef")[value & 0x0F];
}

}  // namespace

std::string hexByte(std::uint8_t value, HexCase hexCase) {
    return std::string{hexDigit(value >> 4, hexCase), hexDigit(value, hexCase)};
}

std::string hexNumber(unsigned value, HexCase hexCase) {
    std::string text;
    do {
        text.insert(text.begin(), hexDigit(value, hexCase));
        value >>= 4;
    } while (value != 0);
    return text;
}

}  // namespace vt::adapters
