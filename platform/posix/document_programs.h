#pragma once

// The Linux programs that stand in for the Windows programs the system opens its reports and
// exports with. Each is started only when found on the search path, so a desktop without one
// of them simply goes on to the next.
//
//   "notepad.exe" (the text viewer): gnome-text-editor, gedit, kate, mousepad, xed, pluma,
//       leafpad, then xdg-open. A plain editor comes first because xdg-open hands a ".txt" or
//       an extensionless file to whatever the desktop associates with it, which may be no
//       text viewer at all; it is only the last resort.
//       Whichever it is, it is shown a UTF-8 copy of the document (viewer_copy.h).
//   "scalc.exe" (the spreadsheet): localc, "libreoffice --calc", "soffice --calc". Nothing
//       else: when none is there the caller falls back to the text viewer itself. The
//       spreadsheet is told how the system's exports are written, so that it opens them
//       without asking and reads their accents right: fields separated by ";", text between
//       double quotes, the Windows-1252 character set (code 1 of its CSV import options).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/launch_rules.h"

namespace vt::platform::posix {

// The spreadsheet's CSV import: separator 59 (";"), text delimiter 34 ("\""), character set 1
// (Windows-1252), reading from line 1.
inline constexpr const char* kCsvImportOption = "--infilter=Text - txt - csv (StarCalc):59,34,1,1";

struct DocumentProgram {
    std::string program;               // a bare name, looked for along the search path
    std::vector<std::string> options;  // given before the document
};

// The programs a Windows document program stands for, in the order they are tried. The name
// is compared without regard to case, with or without ".exe"; a name with a directory part,
// or any other name, is not mapped and gives nothing.
std::vector<DocumentProgram> documentProgramsFor(std::string_view windowsProgram);

// Whether the name is the text viewer's ("notepad.exe"), which is shown UTF-8 copies.
bool isTextViewer(std::string_view windowsProgram);

// The argument vector that opens the native document: for a mapped name, the first of its
// programs found on the search path; for any other, the program as resolveProgram finds it.
// Nothing when no program is found.
std::optional<std::vector<std::string>> resolveDocumentOpen(std::string_view program,
                                                            std::string_view nativeDocument,
                                                            const LaunchEnvironment& environment);

}  // namespace vt::platform::posix
