#include "tools/arpsift/address_list.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

// FNV-1a over the characters of a key's normal form, computed without building that form:
// the index is made of every line of the list.
class KeyHash {
public:
    void add(char c) {
        m_hash ^= static_cast<unsigned char>(c);
        m_hash *= 0x100000001B3ull;
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 0xCBF29CE484222325ull;
};

std::uint64_t nameHash(std::string_view name) {
    KeyHash hash;
    for (const char c : name) {
        hash.add(platform::upperAscii(c));
    }
    return hash.value();
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && platform::compareNoCase(a, b) == 0;
}

// The MAC normal form of a value, as far as a line's value field reaches.
std::string macForm(std::string_view mac) {
    return FormatMac(platform::leftCharacterView(mac, kFieldLimit));
}

// The characters of the MAC normal form, one by one, as FormatMac gives them.
std::string_view macCharacters(std::string_view mac) {
    return platform::trimView(platform::leftCharacterView(mac, kFieldLimit));
}

std::uint64_t macHash(std::string_view mac) {
    KeyHash hash;
    for (const char c : macCharacters(mac)) {
        hash.add(c == ':' ? '-' : platform::upperAscii(c));
    }
    return hash.value();
}

}  // namespace

void PositionIndex::add(std::uint64_t hash, std::size_t position) {
    const auto [entry, inserted] = m_positions.try_emplace(hash, Positions{position, {}});
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

void PositionIndex::drop(std::uint64_t hash, std::size_t position) {
    const auto entry = m_positions.find(hash);
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

std::optional<std::size_t> PositionIndex::first(
    std::uint64_t hash, const std::function<bool(std::size_t)>& matches) const {
    const auto entry = m_positions.find(hash);
    if (entry == m_positions.end()) {
        return std::nullopt;
    }
    if (matches(entry->second.first)) {
        return entry->second.first;
    }
    const auto found =
        std::find_if(entry->second.later.begin(), entry->second.later.end(), matches);
    return found == entry->second.later.end() ? std::nullopt : std::optional(*found);
}

AddressList::AddressList(std::vector<std::string> lines, Keys keys)
    : m_keys(keys), m_lines(std::move(lines)), m_removed(m_lines.size(), false) {
    m_byName.reserve(m_lines.size());
    if (m_keys == Keys::NamesAndMacs) {
        m_byMac.reserve(m_lines.size());
    }
    for (std::size_t position = 0; position < m_lines.size(); ++position) {
        index(position);
    }
}

std::optional<std::size_t> AddressList::findName(std::string_view name) const {
    if (name.empty()) {
        return std::nullopt;
    }
    return m_byName.first(nameHash(name), [&](std::size_t position) {
        return sameName(nameField(m_lines[position]), name);
    });
}

std::optional<std::size_t> AddressList::findMac(std::string_view mac) const {
    const std::string wanted = macForm(mac);
    if (wanted.empty()) {
        return std::nullopt;
    }
    return m_byMac.first(macHash(mac), [&](std::size_t position) {
        return macForm(valueField(m_lines[position])) == wanted;
    });
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

std::vector<std::string> AddressList::takeSortedLines() {
    std::vector<std::string> lines;
    lines.reserve(m_lines.size());
    for (std::size_t position = 0; position < m_lines.size(); ++position) {
        if (!m_removed[position]) {
            lines.push_back(std::move(m_lines[position]));
        }
    }
    *this = AddressList();
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
    const auto change = [&](PositionIndex& index, std::uint64_t hash) {
        if (add) {
            index.add(hash, position);
        } else {
            index.drop(hash, position);
        }
    };
    if (const std::string_view name = nameField(line); !name.empty()) {
        change(m_byName, nameHash(name));
    }
    if (m_keys == Keys::NamesAndMacs && !macCharacters(valueField(line)).empty()) {
        change(m_byMac, macHash(valueField(line)));
    }
}

}  // namespace vt::arpsift
