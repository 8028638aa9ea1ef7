#include "platform/windows/windows_system.h"

#include <windows.h>

#include <cstdio>

#include "platform/windows/wide_text.h"

namespace vt::platform::windows {

namespace {

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

SYSTEMTIME systemTime(const LocalDateTime& when) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(when.year);
    time.wMonth = static_cast<WORD>(when.month);
    time.wDay = static_cast<WORD>(when.day);
    time.wHour = static_cast<WORD>(when.hour);
    time.wMinute = static_cast<WORD>(when.minute);
    time.wSecond = static_cast<WORD>(when.second);
    return time;
}

}  // namespace

std::optional<std::string> WindowsSystem::environment(std::string_view name) const {
    if (name.empty() || holdsNul(name) || name.find('=') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::wstring wideName = wide(name);
    ::SetLastError(ERROR_SUCCESS);
    const DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) {
        // Set and empty, or not set at all.
        return ::GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                          : std::optional<std::string>("");
    }
    std::wstring value(needed, L'\0');
    value.resize(::GetEnvironmentVariableW(wideName.c_str(), value.data(), needed));
    return narrow(value);
}

std::string WindowsSystem::programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return ".\\";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

std::string WindowsSystem::executableDirectory() const {
    return programDirectory();
}

bool WindowsSystem::setWorkingDirectory(std::string_view path) {
    return !path.empty() && !holdsNul(path) && ::SetCurrentDirectoryW(wide(path).c_str()) != 0;
}

LocalDateTime WindowsSystem::now() const {
    SYSTEMTIME local;
    ::GetLocalTime(&local);
    LocalDateTime when;
    when.year = local.wYear;
    when.month = local.wMonth;
    when.day = local.wDay;
    when.hour = local.wHour;
    when.minute = local.wMinute;
    when.second = local.wSecond;
    when.millisecond = local.wMilliseconds;
    when.isoWeekday = local.wDayOfWeek == 0 ? 7 : local.wDayOfWeek;
    return when;
}

std::string WindowsSystem::shortDate(const LocalDateTime& when) const {
    const SYSTEMTIME time = systemTime(when);
    wchar_t text[80];
    if (::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 80,
                          nullptr) > 0) {
        return narrow(text);
    }
    char fixed[48];
    std::snprintf(fixed, sizeof fixed, "%02d/%02d/%04d", when.day, when.month, when.year);
    return fixed;
}

std::string WindowsSystem::longTime(const LocalDateTime& when) const {
    const SYSTEMTIME time = systemTime(when);
    wchar_t text[80];
    if (::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, text, 80) > 0) {
        return narrow(text);
    }
    char fixed[48];
    std::snprintf(fixed, sizeof fixed, "%02d:%02d:%02d", when.hour, when.minute, when.second);
    return fixed;
}

}  // namespace vt::platform::windows
