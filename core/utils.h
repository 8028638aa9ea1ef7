#pragma once

// Machine groups, the address lists and the exclusion list.

#include <string>
#include <string_view>
#include <vector>

#include "core/VtlVar.h"
#include "core/address_index.h"
#include "core/names.h"
#include "core/services.h"

namespace vt {

inline constexpr const char* kLocalGroupsFile = "localGM";
inline constexpr const char* kExclusionFile = "liste.exclusion";
inline constexpr const char* kEsuGroupFile = "ListeGM.xml";

// The lines of a group's machine file, read by its bare name. FileError when it cannot be
// read, or when the name is no usable group name (it would name a file elsewhere, one of
// the program's own files, or change a batch line).
std::vector<std::string> LoadGroupMachines(const platform::FileSystem& files,
                                           std::string_view group);

// Rebuilds GroupList: the ESU groups (when "esu" is "true"), the local groups of "localGM",
// then "Autres". Updates the ESU groups' machine files and creates "Autres" when missing.
// Names that are no usable group names, and machine names of more than 255 characters, are
// skipped with a console line.
void LoadGroups(VtlVar& state, platform::FileSystem& files, Console& console);

// The file's bytes as one text; empty when it cannot be opened.
std::string ReadWholeFile(const platform::FileSystem& files, std::string_view path);

// MAC address of a machine from MacList; empty when it has none.
std::string MacLookup(const VtlVar& state, std::string_view name);
// IP address of a machine from IpList; WolTargetIp when it is not listed.
std::string IpLookup(const VtlVar& state, std::string_view name);

// The two address lists indexed once, for an operation over many group-file lines; every
// address lookup of a group line follows one rule: plain name first, then the line as written.
class GroupLineAddresses {
public:
    explicit GroupLineAddresses(const VtlVar& state);
    // Empty when the machine has no MAC address.
    std::string mac(std::string_view line) const;
    // WolTargetIp when the machine has no listed IP address.
    std::string ip(std::string_view line) const;

private:
    const VtlVar& m_state;
    AddressIndex m_macs;
    AddressIndex m_ips;
};
// Name of the first group whose machine file holds the line; empty when none.
std::string GroupOfMachine(const VtlVar& state, const platform::FileSystem& files,
                           std::string_view line);
// The name without blanks around it and without one trailing "*".
std::string StripMark(std::string_view line);
// Marks with "*" the lines of every group file (but "Autres") that name an excluded machine.
void MarkExclusions(const VtlVar& state, platform::FileSystem& files);
// Adds a name to "liste.exclusion" (sorted, no duplicates), then runs MarkExclusions.
void AddToExclusionList(const VtlVar& state, platform::FileSystem& files, std::string_view name);

// Index of a group in GroupList, compared without regard to case; -1 when absent.
int groupIndexOf(const VtlVar& state, std::string_view name);

}  // namespace vt
