#pragma once

// The credentials net is handed for a remote shutdown, never the secret itself: a Kerberos
// ticket when one is present, otherwise a Samba authentication file ("username=",
// "password=", "domain=" lines) that only its owner may read.

#include <optional>
#include <string>
#include <vector>

namespace vt::shutdown {

inline constexpr const char* kAuthFileVariable = "VANTOREL_SMB_AUTH";
inline constexpr const char* kDefaultAuthFile = ".config/vantorel/smb.auth";  // in the home

struct Credentials {
    bool kerberos = false;
    std::string authenticationFile;  // without Kerberos
};

struct CredentialsLookup {
    std::optional<Credentials> credentials;
    std::string result;   // the shutdown log's result when there are none
    std::string message;  // French, for the standard error
};

// A ticket is present when $KRB5CCNAME is set or the default cache /tmp/krb5cc_UID exists.
// The authentication file is $VANTOREL_SMB_AUTH, or ~/.config/vantorel/smb.auth; a file that
// is not a readable regular file gives "identifiants introuvables", one that its group or
// others may use is refused, as ssh refuses such a key.
CredentialsLookup findCredentials();

// Arguments of net that name the credentials.
std::vector<std::string> credentialArguments(const Credentials& credentials);

}  // namespace vt::shutdown
