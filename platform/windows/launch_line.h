#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vt::platform::windows {

// What CreateProcess is given for one of the system's command lines.
struct LaunchLine {
    std::wstring application;  // full path of the program started
    std::wstring commandLine;  // what that program receives
};

// The program of a Windows command line, found as Windows finds it: a path where it points, a
// bare name in the tools' folder, the current folder, the system folders and the search path,
// ".exe" and ".com" added to a name without extension. ".bat" and ".cmd" files and
// "cmd /c ..." lines run under vt_cmd from the tools' folder where it is there, so a batch runs
// the same everywhere, else under the system's interpreter. Nothing when no program is found.
std::optional<LaunchLine> resolveLaunchLine(std::string_view commandLine,
                                            const std::wstring& toolsDirectory);

// The program a document is opened with: a path, or a bare name along the search path.
std::optional<std::wstring> findDocumentProgram(std::string_view program);

}  // namespace vt::platform::windows
