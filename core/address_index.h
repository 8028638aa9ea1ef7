#pragma once

// The address lists ("liste.mac", "liste.ip") looked up by machine name. A line's name is the
// text before its first blank, its address the text after it; the first line of a name wins
// and names compare without regard to case. An operation that looks many machines up (a
// power-up, the machine export, a discovery method) builds one index and asks it, instead of
// scanning the list once per machine.

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/strings.h"

namespace vt {

class AddressIndex {
public:
    // Keeps a copy of the lines: the list may change afterwards.
    explicit AddressIndex(const std::vector<std::string>& lines);

    // Takes in a line appended to the list after the index was built; a name already indexed
    // keeps its first address, as in the list.
    void add(std::string_view line);

    // The address of the first line that names the machine (at most 255 characters).
    std::optional<std::string> find(std::string_view name) const;

    // The address of a group-file line: under the machine's plain name (without blanks around
    // it and without the never-shutdown mark) first, then under the line as written, so that a
    // list that names the machine with its mark still counts.
    std::optional<std::string> findLine(std::string_view line) const;

private:
    void index(std::string_view line);

    // The lines' text in one block, sized once so that the views into it stay valid, and the
    // lines added later, which a deque never moves.
    std::string m_text;
    std::deque<std::string> m_added;
    std::unordered_map<std::string_view, std::string_view, NoCaseHash, NoCaseEqual> m_addresses;
};

}  // namespace vt
