#include "platform/posix/posix_system.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vt::platform::posix {

namespace {

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::optional<std::string> PosixSystem::environment(std::string_view name) const {
    if (name.empty() || holdsNul(name) || name.find('=') != std::string_view::npos) {
        return std::nullopt;
    }
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::string PosixSystem::executableDirectory() const {
    return PathMapper::executableDirectory();
}

bool PosixSystem::setWorkingDirectory(std::string_view path) {
    if (path.empty() || holdsNul(path)) {
        return false;
    }
    return ::chdir(m_mapper.resolved(path).c_str()) == 0;
}

LocalDateTime PosixSystem::now() const {
    timespec clock{};
    ::clock_gettime(CLOCK_REALTIME, &clock);
    std::tm local{};
    ::localtime_r(&clock.tv_sec, &local);
    LocalDateTime when;
    when.year = local.tm_year + 1900;
    when.month = local.tm_mon + 1;
    when.day = local.tm_mday;
    when.hour = local.tm_hour;
    when.minute = local.tm_min;
    // A leap second shows as the last second of its minute.
    when.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    when.millisecond = static_cast<int>(clock.tv_nsec / 1000000);
    when.isoWeekday = local.tm_wday == 0 ? 7 : local.tm_wday;
    return when;
}

std::string PosixSystem::shortDate(const LocalDateTime& when) const {
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", when.day, when.month, when.year);
    return text;
}

std::string PosixSystem::longTime(const LocalDateTime& when) const {
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", when.hour, when.minute, when.second);
    return text;
}

}  // namespace vt::platform::posix
