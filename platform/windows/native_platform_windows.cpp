#include <memory>

#include "platform/native_platform.h"
#include "platform/windows/windows_file_system.h"
#include "platform/windows/windows_network.h"
#include "platform/windows/windows_processes.h"
#include "platform/windows/windows_system.h"

namespace vt::platform {

namespace {

// The places are real here: drive C and the UNC shares of the configuration are not used.
class WindowsNativePlatform : public NativePlatform {
public:
    explicit WindowsNativePlatform(const PlatformConfig& config)
        : m_processes(config.toolsDirectory.value_or(windows::WindowsSystem::programDirectory())),
          m_platform{m_files, m_processes, m_network, m_system} {}

    Platform& platform() override { return m_platform; }

private:
    windows::WindowsFileSystem m_files;
    windows::WindowsProcesses m_processes;
    windows::WindowsNetwork m_network;
    windows::WindowsSystem m_system;
    Platform m_platform;
};

}  // namespace

std::unique_ptr<NativePlatform> createNativePlatform(const PlatformConfig& config) {
    return std::make_unique<WindowsNativePlatform>(config);
}

}  // namespace vt::platform
