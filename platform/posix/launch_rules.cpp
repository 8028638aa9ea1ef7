#include "platform/posix/launch_rules.h"

#include "platform/command_line.h"

namespace vt::platform::posix {

namespace {

bool isSlash(char c) {
    return c == '/' || c == '\\';
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && endsWithNoCase(a, b);
}

std::string_view baseName(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isSlash(path[i]) || (i == 1 && path[i] == ':')) {
            start = i + 1;
        }
    }
    return path.substr(start);
}

// A name with a directory part (or a drive) is used where it points; a bare name is searched.
bool hasDirectory(std::string_view program) {
    return baseName(program).size() != program.size();
}

bool isCommandInterpreter(std::string_view program) {
    const std::string_view name = baseName(program);
    return equalsNoCase(name, "cmd.exe") || equalsNoCase(name, "cmd") ||
           equalsNoCase(name, "command.com") || equalsNoCase(name, "command");
}

// The names a program is tried under: as written, then without a ".exe" that the Linux
// build of the same tool does not carry.
std::vector<std::string> candidateNames(std::string_view program) {
    std::vector<std::string> names{std::string(program)};
    if (endsWithNoCase(program, ".exe") && program.size() > 4 &&
        !isSlash(program[program.size() - 5])) {
        names.emplace_back(program.substr(0, program.size() - 4));
    }
    return names;
}

std::string absolute(std::string path, const LaunchEnvironment& environment) {
    if (!path.empty() && path[0] != '/') {
        path.insert(0, environment.currentDirectory);
    }
    return path;
}

std::vector<std::string> searchDirectories(const LaunchEnvironment& environment,
                                           bool currentFirst) {
    std::vector<std::string> directories;
    if (currentFirst) {
        directories.emplace_back();
    }
    std::string_view path = environment.searchPath;
    while (!path.empty()) {
        const std::size_t colon = path.find(':');
        std::string_view entry = path.substr(0, colon);
        // An empty entry of $PATH stands for the current directory.
        directories.emplace_back(entry.empty() ? std::string() : std::string(entry) + "/");
        if (colon == std::string_view::npos) {
            break;
        }
        path.remove_prefix(colon + 1);
    }
    return directories;
}

std::optional<std::string> findProgram(std::string_view program,
                                       const LaunchEnvironment& environment, bool currentFirst) {
    if (program.empty()) {
        return std::nullopt;
    }
    const std::vector<std::string> names = candidateNames(program);
    if (hasDirectory(program)) {
        for (const std::string& name : names) {
            std::string native = absolute(environment.nativePath(name), environment);
            if (environment.isExecutable(native)) {
                return native;
            }
        }
        return std::nullopt;
    }
    for (const std::string& directory : searchDirectories(environment, currentFirst)) {
        for (const std::string& name : names) {
            std::string native = absolute(environment.nativePath(directory + name), environment);
            if (environment.isExecutable(native)) {
                return native;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> resolveLaunch(std::string_view commandLine,
                                                      const LaunchEnvironment& environment) {
    std::vector<std::string> arguments = splitCommandLine(commandLine);
    if (arguments.empty() || arguments[0].empty()) {
        return std::nullopt;
    }
    const std::string interpreter = environment.toolsDirectory + "vt_cmd";
    if (isCommandInterpreter(arguments[0]) && arguments.size() >= 2 &&
        equalsNoCase(arguments[1], "/c")) {
        // The interpreter reads the rest as it was written: quotes and redirections included.
        const std::string_view rest = commandLineRest(commandLineRest(commandLine));
        return std::vector<std::string>{interpreter, "-c", std::string(rest)};
    }
    if (endsWithNoCase(arguments[0], ".bat")) {
        const std::string script = absolute(environment.nativePath(arguments[0]), environment);
        if (!environment.isFile(script)) {
            return std::nullopt;
        }
        std::vector<std::string> argv{interpreter, script};
        argv.insert(argv.end(), arguments.begin() + 1, arguments.end());
        return argv;
    }
    const auto program = findProgram(arguments[0], environment, true);
    if (!program) {
        return std::nullopt;
    }
    arguments[0] = *program;
    return arguments;
}

std::optional<std::string> resolveProgram(std::string_view program,
                                          const LaunchEnvironment& environment) {
    return findProgram(program, environment, false);
}

}  // namespace vt::platform::posix
