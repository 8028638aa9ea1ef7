#include "tools/shutdown/credentials.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "tools/shutdown/net_outcome.h"

namespace vt::shutdown {

namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A cache kept in a file counts when the file is there; other kinds of cache (the kernel's
// keyring, a cache daemon) cannot be looked at from here and are taken as holding a ticket.
bool kerberosTicketPresent() {
    if (const auto cache = variable("KRB5CCNAME")) {
        if (cache->starts_with("FILE:")) {
            return isRegularFile(cache->substr(5));
        }
        return cache->find(':') == std::string::npos ? isRegularFile(*cache) : true;
    }
    return isRegularFile("/tmp/krb5cc_" + std::to_string(::getuid()));
}

std::string homeDirectory() {
    if (const auto home = variable("HOME")) {
        return *home;
    }
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

}  // namespace

CredentialsLookup findCredentials() {
    if (kerberosTicketPresent()) {
        return {Credentials{true, {}}, {}, {}};
    }
    std::string path = variable(kAuthFileVariable).value_or("");
    if (path.empty()) {
        path = homeDirectory();
        if (path.back() != '/') {
            path += '/';
        }
        path += kDefaultAuthFile;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(path.c_str(), R_OK) != 0) {
        return {
            std::nullopt, kNoCredentials,
            "identifiants introuvables : ni ticket Kerberos ni fichier d'identification " + path};
    }
    if ((info.st_mode & 077) != 0) {
        return {std::nullopt, kCredentialsExposed,
                "fichier d'identification refusé, son groupe ou d'autres peuvent le lire : " +
                    path + " (chmod 600 " + path + ")"};
    }
    return {Credentials{false, path}, {}, {}};
}

std::vector<std::string> credentialArguments(const Credentials& credentials) {
    if (credentials.kerberos) {
        return {"--use-kerberos=required"};
    }
    return {"--authentication-file=" + credentials.authenticationFile};
}

}  // namespace vt::shutdown
