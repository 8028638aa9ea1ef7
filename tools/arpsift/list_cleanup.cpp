#include "tools/arpsift/list_cleanup.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/ascii_text.h"
#include "platform/machine_names.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

std::vector<std::string> withoutEmptyLines(std::vector<std::string> lines) {
    std::erase(lines, std::string());
    return lines;
}

// The lines that share one key, as a chain from each line to the next one with its key, and
// the place each chain has been consumed to as the walk passes.
class KeyChains {
public:
    explicit KeyChains(std::size_t lines) : m_next(lines, kNone) { m_cursor.reserve(lines); }

    // Built from the last line to the first.
    void prepend(std::string_view key, std::size_t position) {
        const auto [cursor, inserted] = m_cursor.try_emplace(key, position);
        if (!inserted) {
            m_next[position] = cursor->second;
            cursor->second = position;
        }
    }

    // The first line after `after` with the key that `isLeft` accepts; lines passed or gone
    // never come back, so each chain is walked once over the whole walk.
    template <typename IsLeft>
    std::size_t firstAfter(std::string_view key, std::size_t after, const IsLeft& isLeft) {
        std::size_t& cursor = m_cursor.find(key)->second;
        while (cursor != kNone && (cursor <= after || !isLeft(cursor))) {
            cursor = m_next[cursor];
        }
        return cursor;
    }

private:
    std::vector<std::size_t> m_next;
    std::unordered_map<std::string_view, std::size_t> m_cursor;
};

// The pairing walk of cleanMacList. An emptied line reads as "", whose name and MAC are both
// empty: it pairs with nothing that has a name, and with every nameless line after it.
class ConflictWalk {
public:
    explicit ConflictWalk(const std::vector<std::string>& lines)
        : m_size(lines.size()),
          m_gone(lines.size()),
          m_nameless(lines.size()),
          m_names(lines.size()),
          m_macs(lines.size()),
          m_byName(lines.size()),
          m_byMac(lines.size()) {
        for (std::size_t position = m_size; position-- > 0;) {
            const std::string& line = lines[position];
            m_gone[position] = line.empty();
            m_names[position] = nameField(line);
            m_macs[position] = valueField(line);
            m_nameless[position] = m_names[position].empty();
            if (!m_nameless[position]) {
                m_byName.prepend(m_names[position], position);
            }
            if (!line.empty()) {
                m_byMac.prepend(m_macs[position], position);
            }
        }
    }

    // Which lines are gone once the walk has passed every line.
    std::vector<bool> run() {
        for (std::size_t i = 0; i < m_size; ++i) {
            if (!isLeft(i)) {
                m_gone[i] = true;
                m_namelessGoneAfter = std::min(m_namelessGoneAfter, i);
                continue;
            }
            const std::size_t partner = m_nameless[i] ? namelessPartner(i) : namedPartner(i);
            if (partner != kNone) {
                m_gone[i] = true;
                m_gone[partner] = true;
                m_namelessGoneAfter = std::min(m_namelessGoneAfter, partner);
            }
        }
        for (std::size_t position = 0; position < m_size; ++position) {
            m_gone[position] = !isLeft(position);
        }
        return m_gone;
    }

private:
    bool isLeft(std::size_t position) const {
        return !m_gone[position] && !(m_nameless[position] && position > m_namelessGoneAfter);
    }

    std::size_t namedPartner(std::size_t i) {
        const auto isLeftHere = [this](std::size_t position) { return isLeft(position); };
        return std::min(m_byName.firstAfter(m_names[i], i, isLeftHere),
                        m_byMac.firstAfter(m_macs[i], i, isLeftHere));
    }

    // A nameless line pairs with the first later line that is gone or nameless or has its
    // MAC. The lines it steps over all have a name and stay, so no line is stepped over twice.
    std::size_t namelessPartner(std::size_t i) const {
        for (std::size_t u = i + 1; u < m_size; ++u) {
            if (!isLeft(u) || m_nameless[u] || m_macs[u] == m_macs[i]) {
                return u;
            }
        }
        return kNone;
    }

    std::size_t m_size;
    std::vector<bool> m_gone;
    std::vector<bool> m_nameless;
    std::vector<std::string_view> m_names;
    std::vector<std::string_view> m_macs;
    KeyChains m_byName;
    KeyChains m_byMac;
    std::size_t m_namelessGoneAfter = kNone;
};

}  // namespace

std::string damagedLineRefusal(std::string_view line) {
    if (line.find(' ') == std::string_view::npos) {
        return std::string();
    }
    const std::string_view name = nameField(line);
    if (!name.empty()) {
        if (std::string refusal = platform::markedMachineNameRefusal(name); !refusal.empty()) {
            return refusal;
        }
    }
    const std::string_view value = platform::trimView(line.substr(line.find(' ') + 1));
    const bool blankOrControl = std::any_of(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
    });
    return blankOrControl ? "valeur avec un blanc ou un caractère de contrôle" : std::string();
}

std::vector<std::string> cleanIpList(std::vector<std::string> lines) {
    for (std::string& line : lines) {
        line = platform::toLowerAscii(line);
    }
    // A line goes when a later line has the same name field: walking from the bottom, the
    // first line met with each name is the one that stays.
    std::unordered_set<std::string_view> later;
    later.reserve(lines.size());
    for (std::size_t i = lines.size(); i-- > 0;) {
        if (!later.insert(nameField(lines[i])).second) {
            lines[i].clear();
        }
    }
    return withoutEmptyLines(std::move(lines));
}

std::vector<std::string> cleanMacList(std::vector<std::string> lines) {
    for (std::string& line : lines) {
        line = FormatMac(line);
    }
    const std::vector<bool> gone = ConflictWalk(lines).run();
    for (std::size_t position = 0; position < lines.size(); ++position) {
        if (gone[position]) {
            lines[position].clear();
        }
    }
    return withoutEmptyLines(std::move(lines));
}

}  // namespace vt::arpsift
