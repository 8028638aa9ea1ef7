#include "core/address_index.h"

#include "core/strings.h"
#include "core/utils.h"

namespace vt {

std::size_t AddressIndex::NoCaseHash::operator()(std::string_view text) const {
    std::size_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        hash = (hash ^ static_cast<unsigned char>(lower)) * 1099511628211ULL;
    }
    return hash;
}

bool AddressIndex::NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    return equalsNoCase(a, b);
}

AddressIndex::AddressIndex(const std::vector<std::string>& lines) {
    m_addresses.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::size_t blank = line.find(' ');
        // A line without a blank names no machine.
        if (blank != std::string::npos) {
            const std::string_view text = line;
            m_addresses.try_emplace(text.substr(0, blank), text.substr(blank + 1));
        }
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
