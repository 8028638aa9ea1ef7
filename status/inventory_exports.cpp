#include "status/inventory_exports.h"

namespace vt::status {

bool InventoryExports::changed(const platform::FileSystem& files, const char* name, Stamp& stamp) {
    // A missing file has no time stamp: it reads as changed until one appears.
    const Stamp now = files.lastWriteTime(name);
    if (now && now == stamp) {
        return false;
    }
    stamp = now;
    return true;
}

const HardwareInventory* InventoryExports::hardware(const platform::FileSystem& files) {
    if (changed(files, kHardwareExport, m_hardwareStamp)) {
        m_hardware.reset();
        try {
            if (auto records = loadInventoryExport(files, kHardwareExport)) {
                m_hardware.emplace(std::move(*records));
            }
        } catch (...) {
            m_hardwareStamp.reset();
            throw;
        }
    }
    return m_hardware ? &*m_hardware : nullptr;
}

std::optional<std::vector<std::string>> InventoryExports::software(
    const platform::FileSystem& files, std::string_view identifier) {
    if (changed(files, kSoftwareExport, m_softwareStamp)) {
        m_softwareOf.clear();
        m_softwareExists = false;
        std::optional<std::vector<std::string>> records;
        try {
            records = loadInventoryExport(files, kSoftwareExport);
        } catch (...) {
            m_softwareStamp.reset();
            throw;
        }
        if (records) {
            m_softwareExists = true;
            for (const std::string& record : *records) {
                m_softwareOf[inventoryField(record, kSoftwareMachineField)].push_back(
                    inventoryField(record, kSoftwareNameField));
            }
        }
    }
    if (!m_softwareExists) {
        return std::nullopt;
    }
    if (identifier.empty()) {
        return std::vector<std::string>{};
    }
    const auto found = m_softwareOf.find(std::string(identifier));
    return found == m_softwareOf.end() ? std::vector<std::string>{} : found->second;
}

}  // namespace vt::status
