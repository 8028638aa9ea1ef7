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

bool kerberosTicketPresent() {
    if (variable("KRB5CCNAME")) {
        return true;
    }
    struct stat info {};
    const std::string defaultCache = "/tmp/krb5cc_" + std::to_string(::getuid());
    return ::stat(defaultCache.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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
