#include "tools/arpsift/address_list.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

std::string nameKey(std::string_view name) {
    return platform::toUpperAscii(name);
}

// Values are compared as far as a line's value field reaches.
std::string macKey(std::string_view mac) {
    return FormatMac(platform::leftCharacters(mac, kFieldLimit));
}

}  // namespace

void PositionIndex::add(const std::string& key, std::size_t position) {
    const auto [entry, inserted] = m_positions.try_emplace(key, Positions{position, {}});
    if (inserted) {
        return;
    }
    Positions& positions = entry->second;
    if (position < positions.first) {
        std::swap(position, positions.first);
    }
    positions.later.insert(
        std::lower_bound(positions.later.begin(), positions.later.end(), position), position);
}

void PositionIndex::drop(const std::string& key, std::size_t position) {
    const auto entry = m_positions.find(key);
    if (entry == m_positions.end()) {
        return;
    }
    Positions& positions = entry->second;
    if (positions.first == position) {
        if (positions.later.empty()) {
            m_positions.erase(entry);
            return;
        }
        positions.first = positions.later.front();
        positions.later.erase(positions.later.begin());
        return;
    }
    const auto at = std::lower_bound(positions.later.begin(), positions.later.end(), position);
    if (at != positions.later.end() && *at == position) {
        positions.later.erase(at);
    }
}

std::optional<std::size_t> PositionIndex::first(const std::string& key) const {
    const auto entry = m_positions.find(key);
    if (entry == m_positions.end()) {
        return std::nullopt;
    }
    return entry->second.first;
}

AddressList::AddressList(std::vector<std::string> lines, Keys keys)
    : m_keys(keys), m_lines(std::move(lines)), m_removed(m_lines.size(), false) {
    for (std::size_t position = 0; position < m_lines.size(); ++position) {
        index(position);
    }
}

std::optional<std::size_t> AddressList::findName(std::string_view name) const {
    if (name.empty()) {
        return std::nullopt;
    }
    return m_byName.first(nameKey(name));
}

std::optional<std::size_t> AddressList::findMac(std::string_view mac) const {
    const std::string key = macKey(mac);
    if (key.empty()) {
        return std::nullopt;
    }
    return m_byMac.first(key);
}

void AddressList::replace(std::size_t position, std::string line) {
    unindex(position);
    m_lines[position] = std::move(line);
    index(position);
}

void AddressList::remove(std::size_t position) {
    unindex(position);
    m_removed[position] = true;
    m_lines[position].clear();
}

void AddressList::append(std::string line) {
    m_lines.push_back(std::move(line));
    m_removed.push_back(false);
    index(m_lines.size() - 1);
}

std::vector<std::string> AddressList::sortedLines() const {
    std::vector<std::string> lines;
    lines.reserve(m_lines.size());
    for (std::size_t position = 0; position < m_lines.size(); ++position) {
        if (!m_removed[position]) {
            lines.push_back(m_lines[position]);
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return platform::compareNoCase(a, b) < 0;
    });
    return lines;
}

void AddressList::index(std::size_t position) {
    changeKeys(position, true);
}

void AddressList::unindex(std::size_t position) {
    if (!m_removed[position]) {
        changeKeys(position, false);
    }
}

// A line without a name or without a MAC has no key of that kind: an empty search text finds
// no line.
void AddressList::changeKeys(std::size_t position, bool add) {
    const std::string& line = m_lines[position];
    const auto change = [&](PositionIndex& index, const std::string& key) {
        if (key.empty()) {
            return;
        }
        if (add) {
            index.add(key, position);
        } else {
            index.drop(key, position);
        }
    };
    change(m_byName, nameKey(nameField(line)));
    if (m_keys == Keys::NamesAndMacs) {
        change(m_byMac, macKey(valueField(line)));
    }
}

}  // namespace vt::arpsift
