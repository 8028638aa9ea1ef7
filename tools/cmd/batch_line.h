#pragma once

// The syntax of one batch line as the command interpreter reads it: "@" and comments, and the
// output redirections, which are taken out of the line before it is split into arguments.
// Nothing else has a meaning of its own: "&", "|", "<", "^" and "%" are plain characters.

#include <optional>
#include <string>
#include <string_view>

namespace vt::cmd {

struct Redirection {
    std::string target;  // the file as the line names it (a Windows or native path)
    bool append = false;
};

struct BatchLine {
    std::string command;  // the line without its redirections, blanks trimmed
    std::optional<Redirection> standardOutput;
    std::optional<Redirection> standardError;
    bool standardErrorToOutput = false;  // "2>&1"
    bool malformed = false;              // a redirection without a file
};

// The line without its leading blanks and "@" characters.
std::string_view stripLinePrefix(std::string_view line);
// True for a line that does nothing: blank, or a "rem" or "::" comment (after the prefix).
bool isInert(std::string_view line);

// Takes the redirections out of a line. Outside double quotes, "> f" and ">f" replace f,
// ">> f" appends to it, "1>" is the same as ">", "2>" and "2>>" send the errors, "2>&1" sends
// the errors wherever the output goes. A quoted file name may hold blanks.
BatchLine parseBatchLine(std::string_view line);

// True for the blanks that separate the words of a line.
constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
// The text without its leading and trailing blanks.
std::string_view trimBlanks(std::string_view text);
// True when both texts are equal, ASCII letters compared without regard to case.
bool sameNoCase(std::string_view a, std::string_view b);

}  // namespace vt::cmd
