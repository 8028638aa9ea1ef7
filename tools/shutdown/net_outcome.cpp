#include "tools/shutdown/net_outcome.h"

#include <algorithm>
#include <array>

namespace vt::shutdown {

namespace {

// Statuses that mean the account was not let in or not allowed to shut the machine down.
constexpr std::array kRefusals = {
    "NT_STATUS_LOGON_FAILURE",       "NT_STATUS_ACCESS_DENIED",
    "NT_STATUS_WRONG_PASSWORD",      "NT_STATUS_NO_SUCH_USER",
    "NT_STATUS_ACCOUNT_DISABLED",    "NT_STATUS_ACCOUNT_LOCKED_OUT",
    "NT_STATUS_ACCOUNT_RESTRICTION", "NT_STATUS_PASSWORD_EXPIRED",
    "NT_STATUS_PRIVILEGE_NOT_HELD",  "WERR_ACCESS_DENIED",
    "WERR_PRIVILEGE_NOT_HELD",       "NT_STATUS_INVALID_LOGON_HOURS",
};

// Statuses that mean nothing answered at the machine's name or address.
constexpr std::array kUnreachables = {
    "NT_STATUS_HOST_UNREACHABLE",
    "NT_STATUS_NETWORK_UNREACHABLE",
    "NT_STATUS_IO_TIMEOUT",
    "NT_STATUS_CONNECTION_REFUSED",
    "NT_STATUS_CONNECTION_RESET",
    "NT_STATUS_CONNECTION_DISCONNECTED",
    "NT_STATUS_BAD_NETWORK_NAME",
    "NT_STATUS_NOT_FOUND",
    "NT_STATUS_OBJECT_NAME_NOT_FOUND",
    "NT_STATUS_INVALID_ADDRESS",
};

bool isStatusCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The first NT status or Windows error that the output names ("NT_STATUS_..." or "WERR_...").
std::string firstStatus(std::string_view output) {
    std::size_t best = std::string_view::npos;
    for (const std::string_view prefix : {"NT_STATUS_", "WERR_"}) {
        best = std::min(best, output.find(prefix));
    }
    if (best == std::string_view::npos) {
        return {};
    }
    std::size_t end = best;
    while (end < output.size() && isStatusCharacter(output[end])) {
        ++end;
    }
    return std::string(output.substr(best, end - best));
}

template <std::size_t N>
bool isOneOf(const std::string& status, const std::array<const char*, N>& statuses) {
    for (const char* known : statuses) {
        if (status == known) {
            return true;
        }
    }
    return false;
}

std::string requested(Action action) {
    switch (action) {
        case Action::Shutdown:
            return "arrêt demandé";
        case Action::Restart:
            return "redémarrage demandé";
        case Action::Abort:
            return "annulation demandée";
    }
    return "arrêt demandé";
}

}  // namespace

NetOutcome classifyNetOutcome(Action action, int exitCode, std::string_view output) {
    const std::string status = firstStatus(output);
    if (exitCode == 0 && status.empty()) {
        return {true, requested(action)};
    }
    if (isOneOf(status, kRefusals)) {
        return {false, kAccessDenied};
    }
    if (isOneOf(status, kUnreachables) ||
        output.find("Unable to find a suitable server") != std::string_view::npos) {
        return {false, kUnreachable};
    }
    if (!status.empty()) {
        return {false, "échec : " + status};
    }
    return {false, "échec : code de sortie " + std::to_string(exitCode)};
}

NetOutcome timedOutOutcome() {
    return {false, std::string(kUnreachable) + " (pas de réponse à temps)"};
}

}  // namespace vt::shutdown
