#pragma once

// What every adapter program does alike: read its arguments, and end with its exit code, its
// one French line on standard error, or its output on standard output.
//
// An adapter that cannot do its work (a bad option, a refused name, no socket, no interface)
// prints one line "COMMAND : reason" on standard error, nothing on standard output, and ends
// with kExitUsage or kExitUnavailable.

#include <string>
#include <string_view>
#include <vector>

namespace vt::adapters {

inline constexpr int kExitDone = 0;         // the output was printed
inline constexpr int kExitNotFound = 1;     // the output says the host was not found
inline constexpr int kExitUsage = 2;        // bad option or argument, refused name
inline constexpr int kExitUnavailable = 3;  // no socket, no interface, kernel table unreadable

// The arguments after the program's name: UTF-8 as given, other bytes read as Windows-1252
// (a batch file of the system hands them over so).
std::vector<std::string> programArguments(int argc, char** argv);

// One line "COMMAND : MESSAGE" on standard error; returns `exitCode`.
int reportFailure(std::string_view command, std::string_view message, int exitCode);
// A warning that does not change the outcome, on standard error.
void reportWarning(std::string_view command, std::string_view message);
// The layout's bytes on standard output; returns `exitCode`.
int printOutput(std::string_view bytes, int exitCode);

}  // namespace vt::adapters
