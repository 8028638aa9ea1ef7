#include "platform/posix/document_programs.h"

#include "platform/command_line.h"

namespace vt::platform::posix {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && endsWithNoCase(a, b);
}

// "notepad.exe", "NOTEPAD" and "Notepad.Exe" all name the same Windows program.
bool namesWindowsProgram(std::string_view program, std::string_view name) {
    return equalsNoCase(program, name) || equalsNoCase(program, std::string(name) + ".exe");
}

}  // namespace

bool isTextViewer(std::string_view windowsProgram) {
    return namesWindowsProgram(windowsProgram, "notepad");
}

std::vector<DocumentProgram> documentProgramsFor(std::string_view windowsProgram) {
    if (isTextViewer(windowsProgram)) {
        return {{"gnome-text-editor", {}}, {"gedit", {}},   {"kate", {}},
                {"mousepad", {}},          {"xed", {}},     {"pluma", {}},
                {"leafpad", {}},           {"xdg-open", {}}};
    }
    if (namesWindowsProgram(windowsProgram, "scalc")) {
        return {{"localc", {kCsvImportOption}},
                {"libreoffice", {"--calc", kCsvImportOption}},
                {"soffice", {"--calc", kCsvImportOption}}};
    }
    return {};
}

std::optional<std::vector<std::string>> resolveDocumentOpen(std::string_view program,
                                                            std::string_view nativeDocument,
                                                            const LaunchEnvironment& environment) {
    const std::vector<DocumentProgram> candidates = documentProgramsFor(program);
    if (candidates.empty()) {
        auto found = resolveProgram(program, environment);
        if (!found) {
            return std::nullopt;
        }
        return std::vector<std::string>{std::move(*found), std::string(nativeDocument)};
    }
    for (const DocumentProgram& candidate : candidates) {
        if (auto found = resolveProgram(candidate.program, environment)) {
            std::vector<std::string> arguments{std::move(*found)};
            arguments.insert(arguments.end(), candidate.options.begin(), candidate.options.end());
            arguments.emplace_back(nativeDocument);
            return arguments;
        }
    }
    return std::nullopt;
}

}  // namespace vt::platform::posix
