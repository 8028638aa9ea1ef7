#include "tools/shutdown/credentials.h"

#include "platform/shutdown_credentials.h"
#include "tools/shutdown/net_outcome.h"

namespace vt::shutdown {

CredentialsLookup findCredentials(const std::string& programFolder) {
    using platform::ShutdownCredentialsKind;
    const platform::ShutdownCredentials found = platform::findShutdownCredentials(programFolder);
    const std::string& path = found.authenticationFile;
    switch (found.kind) {
        case ShutdownCredentialsKind::Session:
            return {Credentials{true, {}}, {}, {}};
        case ShutdownCredentialsKind::File:
            return {Credentials{false, path}, {}, {}};
        case ShutdownCredentialsKind::Exposed:
            return {std::nullopt, kCredentialsExposed,
                    "fichier d'identification refusé, son groupe ou d'autres peuvent le lire : " +
                        path + " (chmod 600 " + path + ")"};
        case ShutdownCredentialsKind::Missing:
            break;
    }
    return {std::nullopt, kNoCredentials,
            "identifiants introuvables : ni ticket Kerberos ni fichier d'identification " + path +
                " (compte à saisir dans Edition > Préférences)"};
}

std::vector<std::string> credentialArguments(const Credentials& credentials) {
    if (credentials.kerberos) {
        return {"--use-kerberos=required"};
    }
    return {"--authentication-file=" + credentials.authenticationFile};
}

}  // namespace vt::shutdown
