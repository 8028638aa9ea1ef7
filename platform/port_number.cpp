#include "platform/port_number.h"

#include "platform/ascii_text.h"

namespace vt::platform {

std::optional<std::uint16_t> parsePortNumber(std::string_view text) {
    const std::optional<std::uint32_t> value = parseDecimal(text, 65535);
    if (!value || *value == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

}  // namespace vt::platform
