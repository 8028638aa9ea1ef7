#pragma once

#include "platform/platform.h"

namespace vt::platform::windows {

class WindowsSystem : public System {
public:
    std::optional<std::string> environment(std::string_view name) const override;
    std::string executableDirectory() const override;
    bool setWorkingDirectory(std::string_view path) override;
    LocalDateTime now() const override;
    std::string shortDate(const LocalDateTime& when) const override;
    std::string longTime(const LocalDateTime& when) const override;

    // The folder of the running program, ending with "\".
    static std::string programDirectory();
};

}  // namespace vt::platform::windows
