#pragma once

// Data files are Windows-1252 with CR LF on disk and UTF-8 in memory. Every byte maps to a
// code point and back, so a file read and written again is unchanged.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vt {

std::string fromWindows1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold become "?".
std::string toWindows1252(std::string_view utf8);

// Lines of a text as a string list reads them: CR LF, LF or CR end a line, and a final line
// break does not make an extra empty line.
std::vector<std::string> splitLines(std::string_view text);
// Every line followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

// The file's lines; nothing when it cannot be opened.
std::optional<std::vector<std::string>> readTextLines(const platform::FileSystem& files,
                                                      std::string_view path);
// The file's lines; FileError when it cannot be opened.
std::vector<std::string> loadTextLines(const platform::FileSystem& files, std::string_view path);
// The file's lines; empty when it cannot be opened (the "missing file reads as empty" rule).
std::vector<std::string> loadTextLinesOrEmpty(const platform::FileSystem& files,
                                              std::string_view path);
// Writes the lines, each ended by CR LF, replacing the file; FileError when it cannot.
void saveTextLines(platform::FileSystem& files, std::string_view path,
                   const std::vector<std::string>& lines);

// Appends the lines, each ended by CR LF, to the file (created when missing) in one write
// that no other process's append can cut; FileError when it cannot.
void appendTextLines(platform::FileSystem& files, std::string_view path,
                     const std::vector<std::string>& lines);

}  // namespace vt
