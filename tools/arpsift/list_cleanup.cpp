#include "tools/arpsift/list_cleanup.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/ascii_text.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

std::vector<std::string> withoutEmptyLines(std::vector<std::string> lines) {
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.empty(); }),
                lines.end());
    return lines;
}

// Positions of the lines that share one key, consumed from the smallest as the walk passes.
struct PositionQueue {
    std::vector<std::size_t> positions;
    std::size_t next = 0;
};

// The pairing walk of cleanMacList. An emptied line reads as "", whose name and MAC are both
// empty: it pairs with nothing that has a name, and with every nameless line after it.
class ConflictWalk {
public:
    explicit ConflictWalk(const std::vector<std::string>& lines)
        : m_lines(lines), m_gone(lines.size()), m_nameless(lines.size()) {
        for (std::size_t position = 0; position < lines.size(); ++position) {
            const std::string& line = lines[position];
            m_gone[position] = line.empty();
            const std::string_view name = nameField(line);
            m_nameless[position] = name.empty();
            m_macs.push_back(valueField(line));
            if (!name.empty()) {
                m_byName[name].positions.push_back(position);
            }
            if (!line.empty()) {
                m_byMac[m_macs.back()].positions.push_back(position);
            }
        }
    }

    // Which lines are gone once the walk has passed every line.
    std::vector<bool> run() {
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
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
        for (std::size_t position = 0; position < m_lines.size(); ++position) {
            m_gone[position] = !isLeft(position);
        }
        return m_gone;
    }

private:
    bool isLeft(std::size_t position) const {
        return !m_gone[position] && !(m_nameless[position] && position > m_namelessGoneAfter);
    }

    // The first line left after `after` in the queue; lines passed or gone never come back.
    std::size_t firstLeftAfter(PositionQueue& queue, std::size_t after) const {
        while (queue.next < queue.positions.size()) {
            const std::size_t position = queue.positions[queue.next];
            if (position > after && isLeft(position)) {
                return position;
            }
            ++queue.next;
        }
        return kNone;
    }

    std::size_t namedPartner(std::size_t i) {
        const std::size_t sameName = firstLeftAfter(m_byName[nameField(m_lines[i])], i);
        const std::size_t sameMac = firstLeftAfter(m_byMac[m_macs[i]], i);
        return std::min(sameName, sameMac);
    }

    // A nameless line pairs with the first later line that is gone or nameless or has its
    // MAC. The lines it steps over all have a name and stay, so no line is stepped over twice.
    std::size_t namelessPartner(std::size_t i) const {
        for (std::size_t u = i + 1; u < m_lines.size(); ++u) {
            if (!isLeft(u) || m_nameless[u] || m_macs[u] == m_macs[i]) {
                return u;
            }
        }
        return kNone;
    }

    const std::vector<std::string>& m_lines;
    std::vector<bool> m_gone;
    std::vector<bool> m_nameless;
    std::vector<std::string> m_macs;
    std::unordered_map<std::string_view, PositionQueue> m_byName;
    std::unordered_map<std::string, PositionQueue> m_byMac;
    std::size_t m_namelessGoneAfter = kNone;
};

}  // namespace

std::vector<std::string> cleanIpList(std::vector<std::string> lines) {
    for (std::string& line : lines) {
        line = platform::toLowerAscii(line);
    }
    // A line goes when a later line has the same name field: walking from the bottom, the
    // first line met with a name is the one that stays.
    std::unordered_set<std::string_view> later;
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
