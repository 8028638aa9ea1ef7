#pragma once

// Windows-1252 bytes and lines, for the programs that link the platform layer only (the
// console tools read the batch files the system writes). Every byte maps to a code point
// and back, so a text decoded and encoded again is unchanged.

#include <string>
#include <string_view>
#include <vector>

namespace vt::platform {

// The five bytes that Windows-1252 leaves undefined stand for the control characters of the
// same value.
std::string fromWindows1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold, and bytes that are not UTF-8, become "?".
std::string toWindows1252(std::string_view utf8);

// A command-line argument as text: kept when it is UTF-8, else read as Windows-1252 bytes,
// as a batch file written by the main program hands them over.
std::string argumentText(std::string_view bytes);

// Lines of a text: CR LF, LF or CR end a line, and a final line break does not make an extra
// empty line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace vt::platform
