#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::platform {

// Splits a command line the way Windows programs split theirs: blanks separate arguments,
// double quotes group (a doubled quote inside quotes is a literal quote), backslashes are
// plain characters.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The rest of a command line after its first argument, leading blanks removed.
std::string_view commandLineRest(std::string_view commandLine);

// True when the text ends with the suffix, ASCII letters compared without regard to case.
bool endsWithNoCase(std::string_view text, std::string_view suffix);

}  // namespace vt::platform
