#pragma once

// Which names the adapters take from their command line, and which names learned from the
// network they pass on. What they print is read back by the system and may end up in its
// batch lines ("nbtstat -a NAME", a shutdown of "\\NAME"), so no name they accept or print
// holds a character that a command interpreter or a redirection would read.

#include <optional>
#include <string>
#include <string_view>

namespace vt::adapters {

inline constexpr std::size_t kLongestName = 255;

// The characters that mean something to a command interpreter, a redirection or a shell, and
// the wildcards.
inline constexpr std::string_view kCommandMetacharacters = "&|<>^%\"'`$;,=()*?\\/!";

// The French reason why a name (Windows-1252 bytes) given on a command line is refused:
// empty, longer than 255 characters, or holding control characters or metacharacters.
// Nothing when it is accepted.
std::optional<std::string> refusalOfName(std::string_view name);

// A learned name as it is printed: control characters shown as ".", as Windows shows the
// browser's "\x01\x02__MSBROWSE__\x02".
std::string printableName(std::string_view name);

// True when a printed name holds no metacharacter and may be passed on.
bool isPassableName(std::string_view printable);

}  // namespace vt::adapters
