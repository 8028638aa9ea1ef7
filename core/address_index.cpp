#include "core/address_index.h"

#include "core/strings.h"
#include "core/utils.h"

namespace vt {

AddressIndex::AddressIndex(const std::vector<std::string>& lines) {
    std::size_t total = 0;
    for (const std::string& line : lines) {
        total += line.size();
    }
    m_text.reserve(total);
    m_addresses.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::size_t start = m_text.size();
        m_text += line;
        index(std::string_view(m_text).substr(start, line.size()));
    }
}

void AddressIndex::add(std::string_view line) {
    index(m_added.emplace_back(line));
}

void AddressIndex::index(std::string_view line) {
    const std::size_t blank = line.find(' ');
    // A line without a blank names no machine.
    if (blank != std::string_view::npos) {
        m_addresses.try_emplace(line.substr(0, blank), line.substr(blank + 1));
    }
}

std::optional<std::string> AddressIndex::find(std::string_view name) const {
    const auto it = m_addresses.find(name);
    if (it == m_addresses.end()) {
        return std::nullopt;
    }
    return atMost255(it->second);
}

std::optional<std::string> AddressIndex::findLine(std::string_view line) const {
    if (auto address = find(StripMark(line))) {
        return address;
    }
    return find(line);
}

}  // namespace vt
