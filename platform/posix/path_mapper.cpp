#include "platform/posix/path_mapper.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace vt::platform::posix {

namespace {

bool isSlash(char c) {
    return c == '\\' || c == '/';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string withTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    return path;
}

std::optional<std::string> environmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

// The components below a Windows root, "." dropped and ".." going up but never above the
// root, as Windows normalises "c:\..\x" to "c:\x". Keeps a mapped path inside its root.
std::string normalisedBelowRoot(std::string_view rest) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= rest.size()) {
        std::size_t end = pos;
        while (end < rest.size() && !isSlash(rest[end])) {
            ++end;
        }
        const std::string_view part = rest.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            joined.push_back('/');
        }
        joined.append(parts[i]);
    }
    if (!joined.empty() && !rest.empty() && isSlash(rest.back())) {
        joined.push_back('/');
    }
    return joined;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool entryExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// The entry of `directory` whose name equals `name` but for case; the smallest such name
// when there are several, so the choice does not depend on the directory's order.
std::optional<std::string> findNoCase(const std::string& directory, std::string_view name) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(directory.empty() ? "." : directory.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (equalsNoCase(candidate, name) && (!found || candidate < *found)) {
            found = std::string(candidate);
        }
    }
    return found;
}

}  // namespace

std::string resolveCase(const std::string& path) {
    if (path.empty() || entryExists(path)) {
        return path;
    }
    std::string result;
    std::size_t pos = 0;
    if (path[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool resolving = true;
    while (pos < path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string_view part = std::string_view(path).substr(pos, end - pos);
        if (!part.empty()) {
            std::string candidate = result + std::string(part);
            if (resolving && part != "." && part != ".." && !entryExists(candidate)) {
                if (const auto match = findNoCase(result, part)) {
                    candidate = result + *match;
                } else {
                    // Nothing below a missing directory can exist: keep the rest as given.
                    resolving = false;
                }
            }
            result = std::move(candidate);
        }
        if (end < path.size()) {
            result.push_back('/');
        }
        pos = end + 1;
    }
    return result;
}

PathMapper::PathMapper(const PlatformConfig& config)
    : m_driveCRoot(config.driveCRoot), m_uncRoot(config.uncRoot) {
}

std::string PathMapper::executableDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return "./";
    }
    buffer.resize(static_cast<std::size_t>(length));
    const std::size_t slash = buffer.rfind('/');
    return slash == std::string::npos ? std::string("./") : buffer.substr(0, slash + 1);
}

std::string PathMapper::driveRoot(char letter) const {
    const char upper = static_cast<char>(lowerAscii(letter) - 'a' + 'A');
    if (upper == 'C' && m_driveCRoot) {
        return withTrailingSlash(*m_driveCRoot);
    }
    if (const auto fromEnvironment = environmentValue(std::string("VANTOREL_DRIVE_") + upper)) {
        return withTrailingSlash(*fromEnvironment);
    }
    // The default root lives beside the program and is made the first time it is needed, so a
    // fresh installation can write "c:\..." at once.
    const std::string root =
        executableDirectory() + "drive_" + std::string(1, lowerAscii(letter)) + "/";
    mkdir(root.c_str(), 0777);
    return root;
}

std::string PathMapper::uncRoot() const {
    if (m_uncRoot) {
        return withTrailingSlash(*m_uncRoot);
    }
    if (const auto fromEnvironment = environmentValue("VANTOREL_UNC_ROOT")) {
        return withTrailingSlash(*fromEnvironment);
    }
    return "/mnt/unc/";
}

std::string PathMapper::mapped(std::string_view path) const {
    if (path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':') {
        return driveRoot(path[0]) + normalisedBelowRoot(path.substr(2));
    }
    if (path.size() >= 2 && isSlash(path[0]) && isSlash(path[1])) {
        return uncRoot() + normalisedBelowRoot(path.substr(2));
    }
    return std::string(path);
}

std::string PathMapper::resolved(std::string_view path) const {
    return resolveCase(mapped(path));
}

}  // namespace vt::platform::posix
