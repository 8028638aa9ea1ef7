#include "platform/netbios_rows.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/hex_digits.h"

namespace vt::platform {

namespace {

constexpr std::string_view kUnique = "UNIQUE";
constexpr std::string_view kGroup = "GROUP";  // "GROUPE" in French
constexpr std::uint8_t kWorkstationSuffix = 0x00;
constexpr std::uint8_t kServerSuffix = 0x20;
constexpr std::size_t kRestLimit = 255;

// The suffix "<XX>" whose ">" is at `close`; nothing when the text there is not one.
std::optional<std::uint8_t> suffixEndingAt(std::string_view line, std::size_t close) {
    if (close < 3 || line[close - 3] != '<') {
        return std::nullopt;
    }
    const int high = hexDigitValue(line[close - 2]);
    const int low = hexDigitValue(line[close - 1]);
    if (high < 0 || low < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(high * 16 + low);
}

}  // namespace

std::optional<NetbiosRow> readNetbiosRow(std::string_view line) {
    for (std::size_t close = line.rfind('>'); close != std::string_view::npos;
         close = close == 0 ? std::string_view::npos : line.rfind('>', close - 1)) {
        const std::optional<std::uint8_t> suffix = suffixEndingAt(line, close);
        const std::string_view after = line.substr(close + 1);
        if (!suffix || after.empty() || after.front() != ' ') {
            continue;
        }
        const std::string_view type = trimView(after);
        const bool unique = type.starts_with(kUnique);
        if (!unique && !type.starts_with(kGroup)) {
            continue;
        }
        // The type word runs to the first blank.
        const std::size_t typeEnd = std::min(type.find(' '), type.size());
        return NetbiosRow{trim(line.substr(0, close - 3)), *suffix, unique,
                          trim(leftCharacterView(type.substr(typeEnd), kRestLimit))};
    }
    return std::nullopt;
}

bool namesTheMachine(const NetbiosRow& row) {
    return row.unique && (row.suffix == kWorkstationSuffix || row.suffix == kServerSuffix);
}

std::optional<std::size_t> findMachineRow(const std::vector<std::string>& lines, std::size_t from,
                                          std::size_t end) {
    for (std::size_t i = from; i < std::min(end, lines.size()); ++i) {
        const std::optional<NetbiosRow> row = readNetbiosRow(lines[i]);
        if (row && row->suffix == kWorkstationSuffix && namesTheMachine(*row)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace vt::platform
