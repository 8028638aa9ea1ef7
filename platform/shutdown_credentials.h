#pragma once

// The account a remote shutdown is made with, as the shutdown tool finds it: a Kerberos
// ticket, or a Samba authentication file ("username=", "password=", "domain=" lines) that only
// its owner may read. The program writes that file from its preferences and looks for it
// before a shutdown, so both follow the same rule. On Windows the system's own shutdown
// command uses the session's rights: there is nothing to find.

#include <string>

namespace vt::platform {

inline constexpr const char* kShutdownAuthFileVariable = "VANTOREL_SMB_AUTH";
// In the program folder, where the preferences write it; the service reads it there too.
inline constexpr const char* kShutdownAuthFileName = "smb.auth";
// In the home, where an administrator may have put one by hand.
inline constexpr const char* kHomeShutdownAuthFile = ".config/vantorel/smb.auth";

enum class ShutdownCredentialsKind {
    Session,  // a Kerberos ticket, or Windows' own rights
    File,     // the authentication file
    Missing,  // none: no ticket, no readable file
    Exposed,  // a file its group or others may read, refused as ssh refuses such a key
};

struct ShutdownCredentials {
    ShutdownCredentialsKind kind = ShutdownCredentialsKind::Missing;
    // The file used, or the one looked for when there is none.
    std::string authenticationFile;
};

// Where the account goes: $VANTOREL_SMB_AUTH when set, else the program folder's "smb.auth".
std::string shutdownAuthenticationFile(const std::string& programFolder);

// A ticket when $KRB5CCNAME names one or the default cache exists; else $VANTOREL_SMB_AUTH
// when set, else the program folder's "smb.auth" when it exists, else the one in the home.
ShutdownCredentials findShutdownCredentials(const std::string& programFolder);

}  // namespace vt::platform
