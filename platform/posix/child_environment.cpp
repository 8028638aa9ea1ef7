#include "platform/posix/child_environment.h"

#include <sys/wait.h>
#include <unistd.h>

#include <string_view>

namespace vt::platform::posix {

std::vector<std::string> environmentWith(
    const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        bool replaced = false;
        for (const auto& [name, value] : variables) {
            replaced = replaced || (variable.size() > name.size() && variable.starts_with(name) &&
                                    variable[name.size()] == '=');
        }
        if (!replaced) {
            environment.emplace_back(variable);
        }
    }
    for (const auto& [name, value] : variables) {
        environment.push_back(name + "=" + value);
    }
    return environment;
}

int exitCodeOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) {
        return WEXITSTATUS(waitStatus);
    }
    if (WIFSIGNALED(waitStatus)) {
        return 128 + WTERMSIG(waitStatus);
    }
    return -1;
}

}  // namespace vt::platform::posix
