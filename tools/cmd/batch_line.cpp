#include "tools/cmd/batch_line.h"

#include "platform/command_line.h"

namespace vt::cmd {

namespace {

// The first word of a line, up to a blank.
std::string_view firstWord(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && !isBlank(line[end])) {
        ++end;
    }
    return line.substr(0, end);
}

// A "1" or "2" just before ">" names the stream only when it stands alone, as in "2> f";
// in "echo a2> f" it is part of the word.
std::optional<int> streamDigit(const std::string& command) {
    if (command.empty() || (command.back() != '1' && command.back() != '2')) {
        return std::nullopt;
    }
    if (command.size() >= 2 && !isBlank(command[command.size() - 2])) {
        return std::nullopt;
    }
    return command.back() - '0';
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && platform::endsWithNoCase(a, b);
}

std::string_view stripLinePrefix(std::string_view line) {
    while (!line.empty() && (isBlank(line.front()) || line.front() == '@')) {
        line.remove_prefix(1);
    }
    return line;
}

bool isInert(std::string_view line) {
    const std::string_view text = trimBlanks(stripLinePrefix(line));
    return text.empty() || text.starts_with("::") || sameNoCase(firstWord(text), "rem");
}

BatchLine parseBatchLine(std::string_view line) {
    BatchLine result;
    std::string command;
    command.reserve(line.size());
    bool inQuotes = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '"') {
            inQuotes = !inQuotes;
        }
        if (inQuotes || c != '>') {
            command += c;
            ++i;
            continue;
        }

        int stream = 1;
        if (const std::optional<int> digit = streamDigit(command)) {
            stream = *digit;
            command.pop_back();
        }
        ++i;
        const bool append = i < line.size() && line[i] == '>';
        if (append) {
            ++i;
        }
        if (i < line.size() && line[i] == '&') {
            const bool toOutput = stream == 2 && !append && i + 1 < line.size() &&
                                  line[i + 1] == '1' &&
                                  (i + 2 == line.size() || isBlank(line[i + 2]));
            if (!toOutput) {
                result.malformed = true;
                return result;
            }
            result.standardErrorToOutput = true;
            result.standardError.reset();
            i += 2;
            command += ' ';
            continue;
        }
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        std::string target;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') {
                target += line[i++];
            }
            if (i < line.size()) {
                ++i;
            }
        } else {
            while (i < line.size() && !isBlank(line[i]) && line[i] != '>') {
                target += line[i++];
            }
        }
        if (target.empty()) {
            result.malformed = true;
            return result;
        }
        if (stream == 1) {
            result.standardOutput = Redirection{std::move(target), append};
        } else {
            result.standardError = Redirection{std::move(target), append};
            result.standardErrorToOutput = false;
        }
        command += ' ';
    }
    result.command = std::string(trimBlanks(command));
    return result;
}

}  // namespace vt::cmd
