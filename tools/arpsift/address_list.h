#pragma once

// One address list ("liste.ip" or "liste.mac") while a run changes it. Every line keeps the
// position it was given, so a position found by a lookup stays valid through the
// replacements, deletions and appends that follow, and lookups go through indexes instead of
// scanning the list: a run costs the same for a list of ten lines or of a hundred thousand.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vt::arpsift {

// Positions filed under the hash of a key, smallest first. Keys that share a hash share an
// entry, so a lookup tells its own positions apart with `matches`.
class PositionIndex {
public:
    void reserve(std::size_t keys) { m_positions.reserve(keys); }
    void add(std::uint64_t hash, std::size_t position);
    void drop(std::uint64_t hash, std::size_t position);
    std::optional<std::size_t> first(std::uint64_t hash,
                                     const std::function<bool(std::size_t)>& matches) const;

private:
    // Nearly every key names one line: that one needs no allocation of its own.
    struct Positions {
        std::size_t first = 0;
        std::vector<std::size_t> later;
    };
    std::unordered_map<std::uint64_t, Positions> m_positions;
};

class AddressList {
public:
    enum class Keys { Names, NamesAndMacs };

    AddressList() = default;
    AddressList(std::vector<std::string> lines, Keys keys);

    // The first line, from the top, whose name field equals the name without regard to case.
    // An empty name finds nothing.
    std::optional<std::size_t> findName(std::string_view name) const;
    // The first line whose value, in the MAC normal form, equals the MAC in that form (lists
    // kept with Keys::NamesAndMacs only). An empty MAC finds nothing.
    std::optional<std::size_t> findMac(std::string_view mac) const;

    // The line at a position that a lookup gave and no deletion has removed since.
    const std::string& at(std::size_t position) const { return m_lines[position]; }
    // Replacing and removing apply to a line that is still there.
    void replace(std::size_t position, std::string line);
    void remove(std::size_t position);
    void append(std::string line);

    // The lines left, sorted ascending without regard to case; lines equal but for case keep
    // their order. The list is empty afterwards.
    std::vector<std::string> takeSortedLines();

private:
    void index(std::size_t position);
    void unindex(std::size_t position);
    void changeKeys(std::size_t position, bool add);

    Keys m_keys = Keys::Names;
    std::vector<std::string> m_lines;
    std::vector<bool> m_removed;
    PositionIndex m_byName;
    PositionIndex m_byMac;
};

}  // namespace vt::arpsift
