#pragma once

// Which names the system takes. Group names become file names of the data directory and parts
// of batch paths; machine names become arguments of command lines. Both come from files that
// other programs write (the domain controller's group list, the discovery sources), so none
// may name another file, change a command line or stand for one of the program's own files.

#include <string>
#include <string_view>

namespace vt {

// Names longer than this are refused: no file name or command argument of the system holds
// more, and a name of megabytes would only cost the console its speed.
inline constexpr std::size_t kNameLimit = 255;

// True when the text holds a character that the command interpreter reads as syntax: a double
// quote, one of & | < > ^ %, or a control character.
bool holdsBatchMetacharacter(std::string_view text);

// True when the text could change what a batch line means: a metacharacter, or a leading "-"
// or "/" (it would read as a switch).
bool changesBatchLine(std::string_view text);

// True when the text stands as exactly one command argument: not empty, no blank, and
// nothing that changesBatchLine rejects.
bool isSingleBatchArgument(std::string_view text);

// True when a name can stand as a file name of the data directory: not empty, not "." or
// "..", and without "\", "/", ":" or control characters.
bool isPlainFileName(std::string_view name);

// True when the name is that of a file the system owns (its programs with or without ".exe",
// its images, its data, log, lock and export files, and any ".bat", ".exe" or ".mark" file),
// compared without regard to case.
bool isOwnFileName(std::string_view name);

// Why a name cannot be a group (a French reason); empty when it can.
std::string groupNameRefusal(std::string_view name);
bool isUsableGroupName(std::string_view name);

// Why a machine name, which may end with the never-shutdown mark, cannot be given to a command
// (a French reason); empty when it can. The rule of platform/machine_names.h, which the tools
// and the discovery's filing share.
std::string machineNameRefusal(std::string_view name);

// A name as a console line shows it: its first 255 characters, then "…" when it is longer.
std::string shownName(std::string_view name);

}  // namespace vt
