#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace vt::platform {

// Where the stand-ins for Windows places live. Unset values come from the environment
// ($VANTOREL_DRIVE_C, $VANTOREL_UNC_ROOT) or the defaults beside the running program.
// A Windows build ignores them: there the places are real.
struct PlatformConfig {
    std::optional<std::string> driveCRoot;      // root directory of drive "c:\"
    std::optional<std::string> uncRoot;         // "\\server\share\x" is uncRoot/server/share/x
    std::optional<std::string> toolsDirectory;  // where vt_cmd is found; default the program's
};

// Owns the native implementation of the four concerns.
class NativePlatform {
public:
    virtual ~NativePlatform() = default;
    virtual Platform& platform() = 0;
};

std::unique_ptr<NativePlatform> createNativePlatform(const PlatformConfig& config = {});

}  // namespace vt::platform
