#include "platform/windows/process_start.h"

#include <cwchar>
#include <vector>

#include "platform/windows/wide_text.h"

namespace vt::platform::windows {

namespace {

bool sameName(std::wstring_view entry, const std::wstring& name) {
    return entry.size() > name.size() && entry[name.size()] == L'=' &&
           ::CompareStringOrdinal(entry.data(), static_cast<int>(name.size()), name.data(),
                                  static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

// This process's variables with the given ones set, in the block CreateProcess takes.
std::wstring environmentBlock(const EnvironmentEntries& environment) {
    std::vector<std::wstring> names;
    for (const auto& [name, value] : environment) {
        names.push_back(wide(name));
    }
    std::wstring block;
    wchar_t* inherited = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = inherited; entry != nullptr && *entry != L'\0';
         entry += std::wcslen(entry) + 1) {
        const std::wstring_view variable(entry);
        bool replaced = false;
        for (const std::wstring& name : names) {
            replaced = replaced || sameName(variable, name);
        }
        if (!replaced) {
            block.append(variable).push_back(L'\0');
        }
    }
    ::FreeEnvironmentStringsW(inherited);
    for (std::size_t i = 0; i < names.size(); ++i) {
        block.append(names[i] + L"=" + wide(environment[i].second)).push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

StartedProcess startProcess(const LaunchLine& line, const EnvironmentEntries& environment,
                            const StartOptions& options) {
    StartedProcess started;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = options.hidden ? SW_HIDE : SW_SHOWNORMAL;
    const bool handsStreams = options.output != nullptr;
    if (handsStreams) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = options.input;
        startup.hStdOutput = options.output;
        startup.hStdError = options.error;
    }
    DWORD flags = CREATE_UNICODE_ENVIRONMENT;
    if (options.hidden) {
        // A console of its own, never shown, and a group of its own: a Ctrl+C typed in this
        // program's console does not reach it.
        flags |= CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP;
    }
    if (options.suspended) {
        flags |= CREATE_SUSPENDED;
    }
    std::wstring commandLine = line.commandLine;
    std::wstring block = environmentBlock(environment);
    PROCESS_INFORMATION information{};
    if (!::CreateProcessW(
            line.application.c_str(), commandLine.data(), nullptr, nullptr,
            handsStreams ? TRUE : FALSE, flags, block.data(),
            options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(), &startup,
            &information)) {
        started.error = ::GetLastError();
        return started;
    }
    started.process.reset(information.hProcess);
    started.thread.reset(information.hThread);
    return started;
}

}  // namespace vt::platform::windows
