#pragma once

// The system's texts are UTF-8; the Win32 calls made here take UTF-16 ("W" functions), so that
// a name holding characters outside the machine's code page still reaches the right file.

#include <string>
#include <string_view>

namespace vt::platform::windows {

// Bytes that are not UTF-8 are read as Windows-1252, as the system's own files are.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view text);

// One argument as the C runtime of a started program splits it back: quoted when needed,
// with the backslashes before a quote doubled.
std::wstring runtimeQuoted(std::wstring_view argument);

// The French text of a Win32 error code, for messages shown to the user.
std::string errorText(unsigned long code);

}  // namespace vt::platform::windows
