#pragma once

// The inventory exports "hardware.ocs" and "softwares.ocs": one record per line, fields
// separated by ";", each field followed by one. The status window and the machine sheet read
// them by their bare names, that is in the program folder where the export tools write them.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace vt::status {

inline constexpr const char* kHardwareExport = "hardware.ocs";
inline constexpr const char* kSoftwareExport = "softwares.ocs";

// The fields of a "hardware.ocs" record that the windows show.
inline constexpr int kIdentifierField = 1;
inline constexpr int kSystemField = 6;
inline constexpr int kAddressField = 14;
inline constexpr int kLastInventoryField = 16;
inline constexpr int kUserField = 20;
// The fields of a "softwares.ocs" record: the machine's identifier and the software's name.
inline constexpr int kSoftwareMachineField = 2;
inline constexpr int kSoftwareNameField = 4;

// Field k of a record, counted from 1: the text between the (k-1)-th and the k-th ";". A
// field that no ";" follows reads as empty. Each step of the walk keeps at most 1023
// characters of the rest of the line, which bounds the work a huge line costs.
std::string inventoryField(std::string_view record, int k);

// The lines of an export; nothing when the file does not exist. FileError when it exists but
// cannot be read.
std::optional<std::vector<std::string>> loadInventoryExport(const platform::FileSystem& files,
                                                            std::string_view name);

// The records of "hardware.ocs" found by machine. A record belongs to a machine when one of
// its fields, blanks around it left out, is the machine's plain name (the group-file line
// without its never-shutdown mark), without regard to case: PC1 is not found in the record of
// PC10, nor in a field that merely holds the name. A machine inventoried twice is found in
// its later record.
class HardwareInventory {
public:
    explicit HardwareInventory(std::vector<std::string> records);

    // The record of the machine a group-file line names; nothing when it has none.
    const std::string* recordOf(std::string_view machineLine) const;

private:
    std::vector<std::string> m_records;
    std::unordered_map<std::string, std::size_t> m_lastRecordOf;  // upper-case field -> record
};

// The operating system as the status window shows it: the two systems of the school's first
// machines without their "Microsoft " prefix, any other as the export gives it.
std::string shownSystemName(std::string_view system);

// The names of the software whose records carry the machine's identifier, in file order.
std::vector<std::string> installedSoftware(const std::vector<std::string>& softwareRecords,
                                           std::string_view identifier);

}  // namespace vt::status
