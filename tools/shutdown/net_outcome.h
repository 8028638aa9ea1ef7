#pragma once

// What Samba's "net rpc shutdown" / "net rpc abortshutdown" told, as the French result of
// the shutdown log.

#include <string>
#include <string_view>

#include "tools/shutdown/shutdown_request.h"

namespace vt::shutdown {

inline constexpr const char* kAccessDenied = "accès refusé";
inline constexpr const char* kUnreachable = "machine injoignable";
inline constexpr const char* kNetMissing = "net introuvable";
inline constexpr const char* kNoCredentials = "identifiants introuvables";
inline constexpr const char* kCredentialsExposed = "fichier d'identification lisible par d'autres";
inline constexpr const char* kNeverShutDown = "jamais éteinte (marquée *)";

struct NetOutcome {
    bool succeeded = false;
    std::string result;  // French
};

// The result of a run of net that ended with the exit code and printed the output (both
// streams): the action asked for when it succeeded, else the reason its status names.
NetOutcome classifyNetOutcome(Action action, int exitCode, std::string_view output);

// The result when net did not end within its time limit.
NetOutcome timedOutOutcome();

}  // namespace vt::shutdown
