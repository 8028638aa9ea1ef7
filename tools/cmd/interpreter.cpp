#include "tools/cmd/interpreter.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "platform/command_line.h"
#include "platform/redirected_run.h"
#include "platform/text_codec.h"
#include "tools/cmd/side_by_side.h"

namespace vt::cmd {

namespace {

constexpr std::string_view kPrefix = "vt_cmd : ";

// Windows commands that have no program of the same name here: each runs the adapter
// program beside vt_cmd that prints its output in the Windows layout. They are never looked
// for along the search path, where a Linux program of the same name takes other options.
// Windows has the commands themselves, which run as any other program.
struct Adapter {
    std::string_view command;
    std::string_view program;
};
constexpr std::string_view kShutdownAdapter = "vt_shutdown";
constexpr Adapter kAdapters[] = {
    {"shutdown", kShutdownAdapter},
    {"net", "vt_net"},
    {"nbtstat", "vt_nbtstat"},
    {"arp", "vt_arp"},
};

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<std::string_view> adapterProgram(std::string_view program) {
#ifdef _WIN32
    static_cast<void>(program);
    return std::nullopt;
#endif
    std::string_view name = baseName(program);
    if (platform::endsWithNoCase(name, ".exe")) {
        name.remove_suffix(4);
    }
    for (const Adapter& adapter : kAdapters) {
        if (sameNoCase(name, adapter.command)) {
            return adapter.program;
        }
    }
    return std::nullopt;
}

std::string firstWord(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && !isBlank(text[end])) {
        ++end;
    }
    return std::string(text.substr(0, end));
}

std::string message(std::string_view text) {
    return std::string(kPrefix) + std::string(text) + "\n";
}

// "cd.." and "cd\" need no blank after the command, as on Windows.
std::optional<std::string_view> changeDirectoryArgument(std::string_view command) {
    if (command.size() < 2 || !sameNoCase(command.substr(0, 2), "cd")) {
        return std::nullopt;
    }
    if (command.size() == 2 || isBlank(command[2])) {
        return trimBlanks(command.substr(2));
    }
    if (command[2] == '.' || command[2] == '\\') {
        return command.substr(2);
    }
    const std::string word = firstWord(command);
    if (sameNoCase(word, "chdir")) {
        return trimBlanks(command.substr(word.size()));
    }
    return std::nullopt;
}

// "echo text", "echo.", "echo off" and "echo on".
std::optional<std::string_view> echoArgument(std::string_view command) {
    if (command.size() < 4 || !sameNoCase(command.substr(0, 4), "echo")) {
        return std::nullopt;
    }
    if (command.size() == 4) {
        return std::string_view();
    }
    if (isBlank(command[4])) {
        return command.substr(5);
    }
    if (command[4] == '.' || command[4] == ':') {
        return command.substr(5);
    }
    return std::nullopt;
}

}  // namespace

Interpreter::Interpreter(platform::Platform& platform, std::string toolsDirectory, int depth)
    : m_platform(platform), m_toolsDirectory(std::move(toolsDirectory)), m_depth(depth) {
    if (!m_toolsDirectory.empty() && m_toolsDirectory.back() != '/') {
        m_toolsDirectory += '/';
    }
}

int Interpreter::runLine(std::string_view rawLine) {
    if (isInert(rawLine)) {
        return 0;
    }
    if (rawLine.find('\0') != std::string_view::npos) {
        // A program's arguments cannot hold it: the line would run cut short.
        std::cerr << message("ligne refusée (caractère nul)");
        return 1;
    }
    const BatchLine line = parseBatchLine(stripLinePrefix(rawLine));
    if (line.malformed) {
        std::cerr << message("redirection sans fichier : " + std::string(trimBlanks(rawLine)));
        return 1;
    }
    if (line.command.empty()) {
        return 0;
    }
    if (const auto argument = changeDirectoryArgument(line.command)) {
        return deliver(line, changeDirectory(*argument));
    }
    if (sameNoCase(firstWord(line.command), "attrib") ||
        sameNoCase(firstWord(line.command), "attrib.exe")) {
        return deliver(line, changeAttributes(line.command));
    }
    if (const auto text = echoArgument(line.command)) {
        return deliver(line, echo(*text));
    }
    return runProgram(line);
}

Interpreter::Output Interpreter::changeDirectory(std::string_view argument) {
    Output output;
    std::string_view path = argument;
    if (path.size() >= 2 && path[0] == '/' && (path[1] == 'd' || path[1] == 'D') &&
        (path.size() == 2 || isBlank(path[2]))) {
        path = trimBlanks(path.substr(2));
    }
    std::string target;
    for (const char c : path) {
        if (c != '"') {
            target += c;  // the Windows "cd" ignores quotes: blanks belong to the path
        }
    }
    if (target.empty()) {
        std::error_code ignored;
        output.standardOutput = std::filesystem::current_path(ignored).string() + "\n";
        return output;
    }
    if (!m_platform.files.isDirectory(target) || !m_platform.system.setWorkingDirectory(target)) {
        output.standardError = message("chemin introuvable : " + target);
        output.status = 1;
    }
    return output;
}

Interpreter::Output Interpreter::changeAttributes(std::string_view command) {
    Output output;
    const std::vector<std::string> arguments = platform::splitCommandLine(command);
    std::optional<bool> readOnly;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isSwitch = argument.size() == 2 && (argument[0] == '+' || argument[0] == '-');
        if (isSwitch && (argument[1] == 'r' || argument[1] == 'R')) {
            readOnly = argument[0] == '+';
        } else if (isSwitch && (argument[1] == 'a' || argument[1] == 'A')) {
            // The archive attribute has no equivalent here; nothing depends on it.
        } else if (argument.starts_with("+") || argument.starts_with("-") ||
                   argument.starts_with("/")) {
            output.standardError = message("attrib : paramètre non pris en charge : " + argument);
            output.status = 1;
            return output;
        } else if (!argument.empty()) {
            paths.push_back(argument);
        }
    }
    if (!readOnly || paths.empty()) {
        output.standardError = message("attrib : usage : attrib +R|-R fichier");
        output.status = 1;
        return output;
    }
    for (const std::string& path : paths) {
        if (!m_platform.files.exists(path)) {
            output.standardError += message("fichier introuvable : " + path);
            output.status = 1;
        } else if (!m_platform.files.setReadOnly(path, *readOnly)) {
            output.standardError += message("accès refusé : " + path);
            output.status = 1;
        }
    }
    return output;
}

Interpreter::Output Interpreter::echo(std::string_view text) {
    Output output;
    const std::string_view trimmed = trimBlanks(text);
    if (sameNoCase(trimmed, "off") || sameNoCase(trimmed, "on")) {
        return output;  // lines are never echoed as they run
    }
    // Redirected files are read back as the system reads its own: Windows-1252, CR LF.
    output.standardOutput = platform::toWindows1252(trimmed) + "\r\n";
    return output;
}

int Interpreter::deliver(const BatchLine& line, const Output& output) {
    int status = output.status;
    auto send = [&](const std::optional<Redirection>& target, const std::string& text,
                    std::ostream& stream) {
        if (!target) {
            stream << text << std::flush;
            return;
        }
        const platform::OutputRedirection file{m_platform.files.nativePath(target->target),
                                               target->append};
        if (!platform::writeRedirected(file, text)) {
            std::cerr << message("impossible d'ouvrir le fichier " + target->target);
            status = 1;
        }
    };
    send(line.standardOutput, output.standardOutput, std::cout);
    if (line.standardErrorToOutput) {
        send(line.standardOutput, output.standardError, std::cout);
    } else {
        send(line.standardError, output.standardError, std::cerr);
    }
    return status;
}

int Interpreter::runProgram(const BatchLine& line) {
    const std::optional<ProgramStart> start = programStart(line);
    if (!start) {
        return 0;
    }
    std::cout.flush();  // what this interpreter printed comes before the program's output
    return reportOutcome(*start, platform::runRedirected(m_platform, start->run));
}

std::optional<Interpreter::ProgramStart> Interpreter::programStart(const BatchLine& line) const {
    const std::vector<std::string> arguments = platform::splitCommandLine(line.command);
    if (arguments.empty() || arguments[0].empty()) {
        return std::nullopt;
    }
    ProgramStart start;
    start.name = arguments[0];
    platform::RedirectedRun& run = start.run;
    run.commandLine = line.command;
    if (const auto adapter = adapterProgram(arguments[0])) {
        run.commandLine = platform::quoteArgument(m_toolsDirectory + std::string(*adapter));
        const std::string_view rest = platform::commandLineRest(line.command);
        if (!rest.empty()) {
            run.commandLine += " " + std::string(rest);
        }
    }
    if (line.standardOutput) {
        run.standardOutput = platform::OutputRedirection{
            m_platform.files.nativePath(line.standardOutput->target), line.standardOutput->append};
    }
    if (line.standardError) {
        run.standardError = platform::OutputRedirection{
            m_platform.files.nativePath(line.standardError->target), line.standardError->append};
    }
    run.standardErrorToOutput = line.standardErrorToOutput;
    run.environment.emplace_back(std::string(kDepthVariable), std::to_string(m_depth + 1));
    return start;
}

int Interpreter::reportOutcome(const ProgramStart& start,
                               const platform::RedirectedOutcome& outcome) {
    switch (outcome.status) {
        case platform::RunStatus::Finished:
            return outcome.exitCode;
        case platform::RunStatus::NotFound:
            std::cerr << message("commande introuvable : " + start.name);
            return 9009;
        case platform::RunStatus::TargetNotOpened:
            std::cerr << message("impossible d'ouvrir le fichier " + outcome.unopenedTarget);
            return 1;
        case platform::RunStatus::NotStarted:
            std::cerr << message("impossible de lancer : " + start.name);
            return 1;
    }
    return 1;
}

std::optional<Interpreter::ProgramStart> Interpreter::shutdownStart(
    std::string_view rawLine) const {
    if (isInert(rawLine) || rawLine.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const BatchLine line = parseBatchLine(stripLinePrefix(rawLine));
    if (line.malformed) {
        return std::nullopt;
    }
    const std::vector<std::string> arguments = platform::splitCommandLine(line.command);
    if (arguments.empty() || adapterProgram(arguments[0]) != kShutdownAdapter) {
        return std::nullopt;
    }
    return programStart(line);
}

std::vector<int> Interpreter::runSideBySide(const std::vector<ProgramStart>& starts,
                                            std::size_t atOnce) {
    std::vector<platform::RedirectedOutcome> outcomes(starts.size());
    std::cout.flush();
    forEachSideBySide(starts.size(), atOnce, [&](std::size_t i) {
        outcomes[i] = platform::runRedirected(m_platform, starts[i].run);
    });
    std::vector<int> statuses;
    statuses.reserve(starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        statuses.push_back(reportOutcome(starts[i], outcomes[i]));
    }
    return statuses;
}

}  // namespace vt::cmd
