#pragma once

#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/launch_rules.h"
#include "platform/posix/posix_file_system.h"

namespace vt::platform::posix {

// Variables set in the environment of every started program, replacing inherited values.
using EnvironmentOverrides = EnvironmentEntries;

class PosixProcesses : public Processes {
public:
    // The files are written too: the text viewer is shown copies of its documents.
    PosixProcesses(PosixFileSystem& files, std::string toolsDirectory,
                   EnvironmentOverrides environmentOverrides = {});

    bool startHidden(std::string_view commandLine) override;
    bool startHidden(std::string_view commandLine,
                     const EnvironmentEntries& extraEnvironment) override;
    RunOutcome runHidden(std::string_view commandLine, std::string_view workingDirectory,
                         std::chrono::milliseconds timeLimit) override;
    bool openDocument(std::string_view program, std::string_view documentPath) override;

    // The launch rules as they apply now (current directory and $PATH of this moment).
    LaunchEnvironment launchEnvironment() const;

private:
    PosixFileSystem& m_files;
    std::string m_toolsDirectory;
    EnvironmentOverrides m_environmentOverrides;
};

}  // namespace vt::platform::posix
