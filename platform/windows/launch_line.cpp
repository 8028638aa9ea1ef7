#include "platform/windows/launch_line.h"

#include <windows.h>

#include <vector>

#include "platform/command_line.h"
#include "platform/windows/wide_text.h"

namespace vt::platform::windows {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring_view baseName(std::wstring_view path) {
    const std::size_t last = path.find_last_of(L"\\/:");
    return last == std::wstring_view::npos ? path : path.substr(last + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && endsWithNoCase(a, b);
}

bool isCommandInterpreter(std::string_view program) {
    const std::string name = narrow(baseName(wide(program)));
    return equalsNoCase(name, "cmd.exe") || equalsNoCase(name, "cmd") ||
           equalsNoCase(name, "command.com") || equalsNoCase(name, "command");
}

bool isBatchFile(std::string_view program) {
    return endsWithNoCase(program, ".bat") || endsWithNoCase(program, ".cmd");
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring withSeparator(std::wstring directory) {
    if (!directory.empty() && !isSeparator(directory.back())) {
        directory.push_back(L'\\');
    }
    return directory;
}

std::wstring fullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length);
    return full;
}

std::wstring systemFolder(UINT (*query)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH];
    const UINT length = query(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring environmentValue(const wchar_t* name) {
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring value(needed, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), needed));
    return value;
}

// The names a program is tried under: an extension is added only to a name without one.
std::vector<std::wstring> candidateNames(const std::wstring& program) {
    if (baseName(program).find(L'.') != std::wstring_view::npos) {
        return {program};
    }
    return {program + L".exe", program + L".com", program};
}

std::vector<std::wstring> searchFolders(const std::wstring& toolsDirectory, bool applicationFirst) {
    std::vector<std::wstring> folders;
    if (applicationFirst) {
        folders.push_back(toolsDirectory);
        folders.emplace_back();  // the current folder
        folders.push_back(systemFolder(::GetSystemDirectoryW));
        folders.push_back(systemFolder(::GetWindowsDirectoryW));
    }
    const std::wstring path = environmentValue(L"PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(L';', start), path.size());
        if (end > start) {
            folders.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return folders;
}

std::optional<std::wstring> findProgram(std::string_view program,
                                        const std::wstring& toolsDirectory, bool applicationFirst) {
    const std::wstring name = wide(program);
    if (name.empty()) {
        return std::nullopt;
    }
    const bool hasFolder = baseName(name).size() != name.size();
    const std::vector<std::wstring> folders = hasFolder
                                                  ? std::vector<std::wstring>{std::wstring()}
                                                  : searchFolders(toolsDirectory, applicationFirst);
    for (const std::wstring& folder : folders) {
        for (const std::wstring& candidate : candidateNames(name)) {
            const std::wstring path =
                folder.empty() ? candidate : withSeparator(folder) + candidate;
            if (isFile(path)) {
                return fullPath(path);
            }
        }
    }
    return std::nullopt;
}

LaunchLine underInterpreter(const std::wstring& toolsDirectory, const std::wstring& vtCmdLine,
                            std::string_view cmdLine) {
    const std::wstring ownInterpreter = withSeparator(toolsDirectory) + L"vt_cmd.exe";
    if (!toolsDirectory.empty() && isFile(ownInterpreter)) {
        return {ownInterpreter, runtimeQuoted(ownInterpreter) + L" " + vtCmdLine};
    }
    std::wstring system = environmentValue(L"COMSPEC");
    if (system.empty()) {
        system = withSeparator(systemFolder(::GetSystemDirectoryW)) + L"cmd.exe";
    }
    // /s: the outer quotes go and the rest is read as it was written.
    return {system, runtimeQuoted(system) + L" /d /s /c \"" + wide(cmdLine) + L"\""};
}

}  // namespace

std::optional<LaunchLine> resolveLaunchLine(std::string_view commandLine,
                                            const std::wstring& toolsDirectory) {
    const std::vector<std::string> arguments = splitCommandLine(commandLine);
    if (arguments.empty() || arguments[0].empty()) {
        return std::nullopt;
    }
    if (isCommandInterpreter(arguments[0]) && arguments.size() >= 2 &&
        equalsNoCase(arguments[1], "/c")) {
        const std::string_view rest = commandLineRest(commandLineRest(commandLine));
        return underInterpreter(toolsDirectory, L"-c " + runtimeQuoted(wide(rest)), rest);
    }
    if (isBatchFile(arguments[0])) {
        const std::wstring script = fullPath(wide(arguments[0]));
        if (!isFile(script)) {
            return std::nullopt;
        }
        std::wstring ownLine = runtimeQuoted(script);
        std::string systemLine = "\"" + narrow(script) + "\"";
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            ownLine += L" " + runtimeQuoted(wide(arguments[i]));
            systemLine += " " + quoteArgument(arguments[i]);
        }
        return underInterpreter(toolsDirectory, ownLine, systemLine);
    }
    const auto program = findProgram(arguments[0], toolsDirectory, true);
    if (!program) {
        return std::nullopt;
    }
    return LaunchLine{*program, wide(commandLine)};
}

std::optional<std::wstring> findDocumentProgram(std::string_view program) {
    return findProgram(program, std::wstring(), false);
}

}  // namespace vt::platform::windows
