#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/shutdown_credentials.h"

namespace vt::platform {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// A cache kept in a file counts when the file is there; other kinds of cache (the kernel's
// keyring, a cache daemon) cannot be looked at from here and are taken as holding a ticket.
bool kerberosTicketPresent() {
    const std::string cache = variable("KRB5CCNAME");
    if (!cache.empty()) {
        if (cache.starts_with("FILE:")) {
            return isRegularFile(cache.substr(5));
        }
        return cache.find(':') == std::string::npos ? isRegularFile(cache) : true;
    }
    return isRegularFile("/tmp/krb5cc_" + std::to_string(::getuid()));
}

std::string homeDirectory() {
    std::string home = variable("HOME");
    if (home.empty()) {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
    }
    return home.back() == '/' ? home : home + '/';
}

std::string inFolder(const std::string& folder, const char* name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

}  // namespace

std::string shutdownAuthenticationFile(const std::string& programFolder) {
    const std::string chosen = variable(kShutdownAuthFileVariable);
    return chosen.empty() ? inFolder(programFolder, kShutdownAuthFileName) : chosen;
}

ShutdownCredentials findShutdownCredentials(const std::string& programFolder) {
    if (kerberosTicketPresent()) {
        return {ShutdownCredentialsKind::Session, {}};
    }
    std::string path = shutdownAuthenticationFile(programFolder);
    if (variable(kShutdownAuthFileVariable).empty() && !exists(path) &&
        exists(homeDirectory() + kHomeShutdownAuthFile)) {
        path = homeDirectory() + kHomeShutdownAuthFile;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(path.c_str(), R_OK) != 0) {
        return {ShutdownCredentialsKind::Missing, path};
    }
    if ((info.st_mode & 077) != 0) {
        return {ShutdownCredentialsKind::Exposed, path};
    }
    return {ShutdownCredentialsKind::File, path};
}

}  // namespace vt::platform
