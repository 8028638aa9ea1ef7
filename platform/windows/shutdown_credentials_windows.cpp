#include "platform/shutdown_credentials.h"

namespace vt::platform {

std::string shutdownAuthenticationFile(const std::string& programFolder) {
    return programFolder + kShutdownAuthFileName;
}

// Windows' shutdown command acts with the rights of the session that runs it.
ShutdownCredentials findShutdownCredentials(const std::string&) {
    return {ShutdownCredentialsKind::Session, {}};
}

}  // namespace vt::platform
