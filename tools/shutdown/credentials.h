#pragma once

// The credentials net is handed for a remote shutdown, never the secret itself: a Kerberos
// ticket when one is present, otherwise a Samba authentication file that only its owner may
// read (platform/shutdown_credentials.h says where it is looked for).

#include <optional>
#include <string>
#include <vector>

namespace vt::shutdown {

struct Credentials {
    bool kerberos = false;
    std::string authenticationFile;  // without Kerberos
};

struct CredentialsLookup {
    std::optional<Credentials> credentials;
    std::string result;   // the shutdown log's result when there are none
    std::string message;  // French, for the standard error
};

// A file that is not a readable regular file gives "identifiants introuvables", one that its
// group or others may use is refused. The program folder is the tool's own.
CredentialsLookup findCredentials(const std::string& programFolder);

// Arguments of net that name the credentials.
std::vector<std::string> credentialArguments(const Credentials& credentials);

}  // namespace vt::shutdown
