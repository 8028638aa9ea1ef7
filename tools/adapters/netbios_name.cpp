#include "tools/adapters/netbios_name.h"

namespace vt::adapters {

NetbiosName wildcardName() {
    return NetbiosName{"*", 0};
}

RawNetbiosName rawName(const NetbiosName& name) {
    RawNetbiosName raw{};
    const bool wildcard = name.name == "*";
    for (std::size_t i = 0; i < kNetbiosNameLength; ++i) {
        if (i < name.name.size()) {
            char c = name.name[i];
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
            raw[i] = static_cast<std::uint8_t>(c);
        } else {
            raw[i] = wildcard ? 0 : ' ';
        }
    }
    raw[kNetbiosNameLength] = name.suffix;
    return raw;
}

NetbiosName nameFromRaw(const RawNetbiosName& raw) {
    std::size_t length = kNetbiosNameLength;
    while (length > 0 && (raw[length - 1] == ' ' || raw[length - 1] == 0)) {
        --length;
    }
    NetbiosName name;
    name.name.assign(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(length));
    name.suffix = raw[kNetbiosNameLength];
    return name;
}

std::string firstLevelEncode(const RawNetbiosName& raw) {
    std::string letters;
    letters.reserve(raw.size() * 2);
    for (const std::uint8_t byte : raw) {
        letters += static_cast<char>('A' + (byte >> 4));
        letters += static_cast<char>('A' + (byte & 0x0F));
    }
    return letters;
}

std::optional<RawNetbiosName> firstLevelDecode(std::string_view letters) {
    RawNetbiosName raw{};
    if (letters.size() != raw.size() * 2) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char high = letters[2 * i];
        const char low = letters[2 * i + 1];
        if (high < 'A' || high > 'P' || low < 'A' || low > 'P') {
            return std::nullopt;
        }
        raw[i] = static_cast<std::uint8_t>(((high - 'A') << 4) | (low - 'A'));
    }
    return raw;
}

}  // namespace vt::adapters
