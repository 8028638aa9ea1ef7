#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt::platform {

// Splits a command line the way Windows programs split theirs: blanks separate arguments,
// double quotes group (a doubled quote inside quotes is a literal quote), backslashes are
// plain characters.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// One argument as a command line writes it: quoted when it is empty or holds a blank or a
// double quote (doubled inside the quotes), so that splitCommandLine gives it back whole,
// whatever it holds.
std::string quoteArgument(std::string_view argument);

// The rest of a command line after its first argument, leading blanks removed.
std::string_view commandLineRest(std::string_view commandLine);

// True when the text ends with the suffix, ASCII letters compared without regard to case.
bool endsWithNoCase(std::string_view text, std::string_view suffix);

}  // namespace vt::platform
