#include "platform/command_line.h"

#include <cstddef>

namespace vt::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Reads one argument starting at `pos` (not a blank) and returns the position after it.
// Quotes may open and close anywhere in the argument; inside them a doubled quote stands for
// one quote character and blanks are part of the argument.
std::size_t readArgument(std::string_view line, std::size_t pos, std::string* out) {
    bool quoted = false;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == '"') {
            if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
                if (out) {
                    out->push_back('"');
                }
                pos += 2;
                continue;
            }
            quoted = !quoted;
            ++pos;
            continue;
        }
        if (!quoted && isBlank(c)) {
            break;
        }
        if (out) {
            out->push_back(c);
        }
        ++pos;
    }
    return pos;
}

std::size_t skipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t pos = skipBlanks(commandLine, 0);
    while (pos < commandLine.size()) {
        std::string argument;
        pos = readArgument(commandLine, pos, &argument);
        arguments.push_back(std::move(argument));
        pos = skipBlanks(commandLine, pos);
    }
    return arguments;
}

std::string quoteArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
        return std::string(argument);
    }
    std::string quoted = "\"";
    for (const char c : argument) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string_view commandLineRest(std::string_view commandLine) {
    std::size_t pos = skipBlanks(commandLine, 0);
    pos = readArgument(commandLine, pos, nullptr);
    pos = skipBlanks(commandLine, pos);
    return commandLine.substr(pos);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (lowerAscii(tail[i]) != lowerAscii(suffix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace vt::platform
