#pragma once

#include <string>

#include "platform/platform.h"

namespace vt::platform::windows {

class WindowsProcesses : public Processes {
public:
    // toolsDirectory: where vt_cmd.exe is looked for first, with a separator at the end.
    explicit WindowsProcesses(std::string toolsDirectory);

    bool startHidden(std::string_view commandLine) override;
    bool startHidden(std::string_view commandLine,
                     const EnvironmentEntries& extraEnvironment) override;
    RunOutcome runHidden(std::string_view commandLine, std::string_view workingDirectory,
                         std::chrono::milliseconds timeLimit) override;
    bool openDocument(std::string_view program, std::string_view documentPath) override;

    const std::string& toolsDirectory() const { return m_toolsDirectory; }

private:
    std::string m_toolsDirectory;
};

}  // namespace vt::platform::windows
