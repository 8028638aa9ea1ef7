#pragma once

// Checks on the values that go into the lines of a power batch file. Machine names and
// addresses come from files that discovery and other programs write: none of them may turn
// a batch line into another command.

#include <string>
#include <string_view>

#include "core/names.h"

namespace vt {

// The shutdown comment without the characters that would end its quoted argument or its
// line: double quotes, line breaks, "%" (the command interpreter expands it) and trailing
// backslashes (before the closing quote they would make it a literal one).
std::string quotableComment(std::string_view comment);

// A batch path as a command line: always exactly one program name, whatever the path holds.
std::string batchCommandLine(std::string_view batchPath);

}  // namespace vt
