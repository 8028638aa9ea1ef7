#include "status/inventory.h"

#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::status {

namespace {

constexpr std::size_t kFieldWalkLimit = 1023;

}  // namespace

std::string inventoryField(std::string_view record, int k) {
    if (k < 1) {
        return {};
    }
    std::string rest(record);
    for (int step = 1; step < k; ++step) {
        const std::size_t separator = rest.find(';');
        if (separator == std::string::npos) {
            return {};
        }
        rest = leftCharacters(std::string_view(rest).substr(separator + 1), kFieldWalkLimit);
    }
    const std::size_t end = rest.find(';');
    if (end == std::string::npos) {
        return {};
    }
    return rest.substr(0, end);
}

std::optional<std::vector<std::string>> loadInventoryExport(const platform::FileSystem& files,
                                                            std::string_view name) {
    if (!files.exists(name)) {
        return std::nullopt;
    }
    return loadTextLines(files, name);
}

HardwareInventory::HardwareInventory(std::vector<std::string> records)
    : m_records(std::move(records)) {
    for (std::size_t r = 0; r < m_records.size(); ++r) {
        std::string_view rest = m_records[r];
        while (true) {
            const std::size_t separator = rest.find(';');
            std::string key = toUpperAscii(trim(rest.substr(0, separator)));
            if (!key.empty()) {
                m_lastRecordOf.insert_or_assign(std::move(key), r);
            }
            if (separator == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(separator + 1);
        }
    }
}

const std::string* HardwareInventory::recordOf(std::string_view machineLine) const {
    const std::string name = StripMark(machineLine);
    if (name.empty()) {
        return nullptr;
    }
    const auto found = m_lastRecordOf.find(toUpperAscii(name));
    return found == m_lastRecordOf.end() ? nullptr : &m_records[found->second];
}

std::string shownSystemName(std::string_view system) {
    if (system == "Microsoft Windows XP Professional") {
        return "Windows XP Professional";
    }
    if (system == "Microsoft Windows 2000 Professional") {
        return "Windows 2000 Professional";
    }
    return std::string(system);
}

std::vector<std::string> installedSoftware(const std::vector<std::string>& softwareRecords,
                                           std::string_view identifier) {
    std::vector<std::string> names;
    if (identifier.empty()) {
        return names;
    }
    for (const std::string& record : softwareRecords) {
        if (inventoryField(record, kSoftwareMachineField) == identifier) {
            names.push_back(inventoryField(record, kSoftwareNameField));
        }
    }
    return names;
}

}  // namespace vt::status
