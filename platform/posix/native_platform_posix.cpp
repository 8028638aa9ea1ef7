#include <memory>

#include "platform/native_platform.h"
#include "platform/posix/path_mapper.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_network.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/posix_system.h"

namespace vt::platform {

namespace {

// The tools started from here (vt_cmd, vt_echo) build their own platform from the
// environment: they are handed the roots this one was configured with, so "c:\x" names the
// same file in both.
posix::EnvironmentOverrides childEnvironment(const PlatformConfig& config) {
    posix::EnvironmentOverrides overrides;
    if (config.driveCRoot) {
        overrides.emplace_back("VANTOREL_DRIVE_C", *config.driveCRoot);
    }
    if (config.uncRoot) {
        overrides.emplace_back("VANTOREL_UNC_ROOT", *config.uncRoot);
    }
    return overrides;
}

class PosixNativePlatform : public NativePlatform {
public:
    explicit PosixNativePlatform(const PlatformConfig& config)
        : m_mapper(config),
          m_files(m_mapper),
          m_processes(m_files,
                      config.toolsDirectory.value_or(posix::PathMapper::executableDirectory()),
                      childEnvironment(config)),
          m_system(m_mapper),
          m_platform{m_files, m_processes, m_network, m_system} {}

    Platform& platform() override { return m_platform; }

private:
    posix::PathMapper m_mapper;
    posix::PosixFileSystem m_files;
    posix::PosixProcesses m_processes;
    posix::PosixNetwork m_network;
    posix::PosixSystem m_system;
    Platform m_platform;
};

}  // namespace

std::unique_ptr<NativePlatform> createNativePlatform(const PlatformConfig& config) {
    return std::make_unique<PosixNativePlatform>(config);
}

}  // namespace vt::platform
