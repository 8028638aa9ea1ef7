#pragma once

// Files discovered machine names into the group files: under every group whose name (three
// characters or more) begins the machine's name, without regard to case, or under "Autres"
// when no group matches. A group file that the filing writes comes out sorted without regard
// to case and without duplicate lines. The discovery methods differ in where the messages go,
// in an extra console line, in what counts as already listed and in what a missing group file
// means.
//
// One filing serves one run of a method: each group file is read once, the names are added
// to its buffer, and save() writes each file whose text changed, once, instead of rewriting
// a file per machine.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "core/strings.h"

namespace vt::discovery {

enum class DiscoveryMethod {
    Csv,      // status messages; a name is added when absent
    Passive,  // the same
    NetView,  // console messages and the "correspondance trouvée" line; a group file that
              // does not exist is left alone
    Ipr,      // console messages and the extra line; a group that lists the name marked "*"
              // does not get it a second time unmarked
};

class GroupFiling {
public:
    GroupFiling(const VtlVar& state, const Services& services, DiscoveryMethod method);
    GroupFiling(const GroupFiling&) = delete;
    GroupFiling& operator=(const GroupFiling&) = delete;

    // False for a name that no list or group line may hold, which is counted: an empty name
    // (or blanks only), or one that the machine-name rule refuses (platform/machine_names.h).
    bool takeIn(std::string_view name);

    // Files one discovered name that takeIn accepts. FileError when an existing group file
    // cannot be read.
    void AssignToGroups(std::string_view name);

    // Writes every group file whose text the filing changed. Tries every file; FileError for
    // the first one that could not be written.
    void save();

    // A console line counting the empty names, and one counting the refused names, when there
    // were any. One line each for a whole run: a page of hostile names does not flood the
    // console, and no name that could break a line is shown.
    void reportSkippedNames(std::string_view source) const;

private:
    // A group file's lines: those read, sorted, and the names filed since, kept apart until
    // the save merges them, so that filing a name never moves the lines of a long file.
    struct Buffer {
        std::string path;
        std::vector<std::string> lines;
        std::vector<std::string> added;
        std::unordered_set<std::string> present;  // the upper-case text of both
        std::string readBytes;                    // the file as it was read
        bool exists = false;   // the file exists, or the filing has written to it
        bool touched = false;  // the filing files names into it
    };

    // What the filing knows of each group of GroupList, by its index.
    struct Group {
        std::string upper;
        bool usable = false;       // the name can be a file of the data directory
        Buffer* buffer = nullptr;  // once used
    };

    // The groups (three characters or more) that begin the upper-case name, in GroupList order:
    // the name's beginnings as long as a group name are looked up, instead of comparing the
    // name with every group.
    std::vector<std::size_t> groupsBeginning(std::string_view upper) const;
    // The buffer of a group file, read on first use; names are compared without regard to
    // case, as files are found.
    Buffer& buffer(const std::string& group);
    static bool holds(const Buffer& target, const std::string& upper);
    void message(const std::string& text) const;
    // Files an upper-case name.
    void addTo(Buffer& target, const std::string& name, bool isGroup);

    const VtlVar& m_state;
    Services m_services;
    DiscoveryMethod m_method;
    std::map<std::string, Buffer> m_buffers;  // upper-case file name -> buffer
    std::vector<Group> m_groups;
    // Upper-case group name -> its indexes; the names are those of m_groups.
    std::unordered_map<std::string_view, std::vector<std::size_t>> m_groupsByName;
    std::set<std::size_t> m_groupLengths;
    std::size_t m_emptyNames = 0;
    std::size_t m_refusedNames = 0;
};

}  // namespace vt::discovery
