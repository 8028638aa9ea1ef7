#pragma once

#include "platform/platform.h"
#include "platform/posix/path_mapper.h"

namespace vt::platform::posix {

class PosixSystem : public System {
public:
    explicit PosixSystem(const PathMapper& mapper) : m_mapper(mapper) {}

    std::optional<std::string> environment(std::string_view name) const override;
    std::string executableDirectory() const override;
    bool setWorkingDirectory(std::string_view path) override;
    LocalDateTime now() const override;
    std::string shortDate(const LocalDateTime& when) const override;
    std::string longTime(const LocalDateTime& when) const override;

private:
    const PathMapper& m_mapper;
};

}  // namespace vt::platform::posix
