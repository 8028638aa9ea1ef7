#pragma once

// The two inventory exports as the windows last read them. An export of a large school runs
// to hundreds of megabytes: it is read and indexed once, and again only when its file changed
// on disk, so that a click on ">" or on a machine's name costs a lookup, not a read.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "status/inventory.h"

namespace vt::status {

class InventoryExports {
public:
    // The hardware export; nullptr when "hardware.ocs" does not exist. FileError when it
    // exists but cannot be read.
    const HardwareInventory* hardware(const platform::FileSystem& files);

    // The software of the machine with that identifier, in file order; nothing when
    // "softwares.ocs" does not exist. FileError when it exists but cannot be read.
    std::optional<std::vector<std::string>> software(const platform::FileSystem& files,
                                                     std::string_view identifier);

private:
    using Stamp = std::optional<std::chrono::system_clock::time_point>;
    // True when the export must be read again: it changed, or it was never read.
    static bool changed(const platform::FileSystem& files, const char* name, Stamp& stamp);

    Stamp m_hardwareStamp;
    std::optional<HardwareInventory> m_hardware;
    Stamp m_softwareStamp;
    bool m_softwareExists = false;
    std::unordered_map<std::string, std::vector<std::string>> m_softwareOf;
};

}  // namespace vt::status
