#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/native_platform.h"

namespace vt::platform::posix {

// Turns the Windows paths the system writes into native paths: drive letters become
// directories, UNC names go under the UNC root, and each name is found without regard to
// case when the exact one does not exist.
class PathMapper {
public:
    explicit PathMapper(const PlatformConfig& config);

    // The native path, names not yet resolved against the disk.
    std::string mapped(std::string_view path) const;
    // The native path with every existing component spelled as on disk; components that do
    // not exist are kept as given.
    std::string resolved(std::string_view path) const;

    // Directory of the running program, ending with "/".
    static std::string executableDirectory();

private:
    std::string driveRoot(char letter) const;
    std::string uncRoot() const;

    std::optional<std::string> m_driveCRoot;
    std::optional<std::string> m_uncRoot;
};

// The name of an existing entry of `path` spelled as on disk, case differences tolerated.
std::string resolveCase(const std::string& path);

}  // namespace vt::platform::posix
