#pragma once

// Checks on the values that go into the lines of a power batch file. Machine names and
// addresses come from files that discovery and other programs write: none of them may turn
// a batch line into another command.

#include <string>
#include <string_view>

namespace vt::power {

// True when the text could change what a batch line means: a double quote, one of
// & | < > ^ %, a line break or any other control character, or a leading "-" or "/"
// (it would read as a switch).
bool changesBatchLine(std::string_view text);

// True when the text stands as exactly one command argument: not empty, no blank, and
// nothing that changesBatchLine rejects.
bool isSingleBatchArgument(std::string_view text);

// Twelve hexadecimal digits, either run together or in six pairs all separated by "-" or
// all by ":".
bool isMacAddress(std::string_view text);

// The shutdown comment without the characters that would end its quoted argument or its
// line (double quotes, line breaks).
std::string quotableComment(std::string_view comment);

// A batch path as a command line: quoted when it holds a blank, so that it stays one
// program name.
std::string batchCommandLine(std::string_view batchPath);

}  // namespace vt::power
