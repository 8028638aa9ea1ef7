#include "tools/arpsift/list_fields.h"

#include <algorithm>

#include "platform/ascii_text.h"

namespace vt::arpsift {

std::string_view nameField(std::string_view line) {
    const std::size_t blank = line.find(' ');
    return blank == std::string_view::npos ? std::string_view() : line.substr(0, blank);
}

std::string_view valueField(std::string_view line) {
    const std::size_t blank = line.find(' ');
    const std::string_view value = blank == std::string_view::npos ? line : line.substr(blank + 1);
    return platform::leftCharacterView(value, kFieldLimit);
}

std::string_view tableKey(std::string_view line) {
    return line.substr(0, line.find('='));
}

std::string tableValue(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::string();
    }
    return platform::leftCharacters(line.substr(equals + 1), kFieldLimit);
}

std::string FormatMac(std::string_view text) {
    std::string mac = platform::toUpperAscii(platform::trimView(text));
    std::replace(mac.begin(), mac.end(), ':', '-');
    return mac;
}

}  // namespace vt::arpsift
