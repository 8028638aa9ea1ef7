#include "core/address_index.h"

#include "core/strings.h"
#include "core/utils.h"

namespace vt {

AddressIndex::AddressIndex(const std::vector<std::string>& lines) {
    m_addresses.reserve(lines.size());
    for (const std::string& line : lines) {
        add(line);
    }
}

void AddressIndex::add(std::string_view line) {
    const std::size_t blank = line.find(' ');
    // A line without a blank names no machine.
    if (blank != std::string_view::npos) {
        m_addresses.try_emplace(toUpperAscii(line.substr(0, blank)),
                                atMost255(line.substr(blank + 1)));
    }
}

std::optional<std::string> AddressIndex::find(std::string_view name) const {
    const auto it = m_addresses.find(toUpperAscii(name));
    if (it == m_addresses.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::string> AddressIndex::findLine(std::string_view line) const {
    if (auto address = find(StripMark(line))) {
        return address;
    }
    return find(line);
}

}  // namespace vt
