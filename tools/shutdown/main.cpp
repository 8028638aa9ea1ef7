// vt_shutdown: the Windows "shutdown" command of the system's shutdown batches, carried out
// with Samba's "net rpc shutdown" (or "net rpc abortshutdown" for -a):
//   vt_shutdown -s -f -t N -c "comment" -m \\NAME
// One French result line on the standard output and one line in "shutdown.log" per machine.
// A machine marked "*" (never shut down) is logged and left alone. net runs from an argument
// vector, never through a shell, for at most $VANTOREL_NET_TIME_LIMIT seconds (30 by
// default); the password stays in the authentication file that net reads.

#include <arpa/inet.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/captured_run.h"
#include "platform/native_platform.h"
#include "platform/wake_on_lan.h"
#include "tools/shutdown/credentials.h"
#include "tools/shutdown/net_outcome.h"
#include "tools/shutdown/shutdown_log.h"
#include "tools/shutdown/shutdown_request.h"

namespace {

using namespace vt::shutdown;

constexpr int kDefaultTimeLimitSeconds = 30;
constexpr const char* kTimeLimitVariable = "VANTOREL_NET_TIME_LIMIT";
constexpr std::size_t kKeptNetOutputPerStream = 32 * 1024;

void complain(const std::string& message) {
    std::cerr << "vt_shutdown : " << message << std::endl;
}

// Logs the machine's result; a log that cannot be written is said on the standard error.
void log(const vt::platform::System& system, const std::string& machine,
         const std::string& result) {
    std::string error;
    if (!appendToShutdownLog(shutdownLogLine(system, machine, result), error)) {
        complain(error);
    }
}

std::chrono::seconds netTimeLimit(const vt::platform::System& system) {
    const auto text = system.environment(kTimeLimitVariable);
    if (text && !text->empty() && text->size() <= 3 &&
        text->find_first_not_of("0123456789") == std::string::npos && std::stoi(*text) > 0) {
        return std::chrono::seconds(std::stoi(*text));
    }
    return std::chrono::seconds(kDefaultTimeLimitSeconds);
}

std::vector<std::string> netArguments(const ShutdownRequest& request,
                                      const std::optional<std::string>& address,
                                      const Credentials& credentials) {
    std::vector<std::string> arguments{"net", "rpc"};
    arguments.push_back(request.action == Action::Abort ? "abortshutdown" : "shutdown");
    arguments.push_back("--server=" + request.machine);
    if (address) {
        arguments.push_back("--ipaddress=" + *address);
    }
    if (request.action != Action::Abort) {
        arguments.push_back("--timeout=" + std::to_string(request.timeout));
        arguments.push_back("--comment=" + request.comment);
        if (request.force) {
            arguments.push_back("--force");
        }
        if (request.action == Action::Restart) {
            arguments.push_back("--reboot");
        }
    }
    for (std::string& argument : credentialArguments(credentials)) {
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

// What net said, line by line, for a failure that the result alone does not explain.
void relayNetOutput(const vt::platform::CapturedOutcome& outcome) {
    for (const std::string* stream : {&outcome.standardOutput, &outcome.standardError}) {
        std::size_t start = 0;
        while (start < stream->size()) {
            const std::size_t end = std::min(stream->find('\n', start), stream->size());
            const std::string line = stream->substr(start, end - start);
            if (line.find_first_not_of(" \t\r") != std::string::npos) {
                complain("net : " + line);
            }
            start = end + 1;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedRequest parsed = parseShutdownArguments(arguments);
    if (!parsed.request) {
        complain(parsed.error);
        std::cerr << "usage : vt_shutdown -s|-r|-a [-f] [-t SECONDES] [-c \"commentaire\"] -m "
                     "\\\\MACHINE"
                  << std::endl;
        return 2;
    }
    const ShutdownRequest& request = *parsed.request;
    const auto native = vt::platform::createNativePlatform();
    vt::platform::Platform& platform = native->platform();

    if (request.neverShutDown) {
        log(platform.system, request.machine, kNeverShutDown);
        std::cout << request.machine << " : " << kNeverShutDown << std::endl;
        return 0;
    }
    if (!vt::platform::locateProgram("net")) {
        complain("net introuvable : installer le paquet samba-common-bin");
        log(platform.system, request.machine, kNetMissing);
        return 1;
    }
    const CredentialsLookup lookup = findCredentials(platform.system.executableDirectory());
    if (!lookup.credentials) {
        complain(lookup.message);
        log(platform.system, request.machine, lookup.result);
        std::cout << request.machine << " : " << lookup.result << std::endl;
        return 1;
    }

    // A name the resolver knows is handed over with its address; any other is left to net,
    // which asks by NetBIOS broadcast.
    std::optional<std::string> address;
    if (const auto resolved = platform.network.resolveIpv4(request.machine)) {
        address = vt::platform::dottedIpv4(ntohl(*resolved));
    }
    vt::platform::CapturedRun run;
    run.arguments = netArguments(request, address, *lookup.credentials);
    run.timeLimit = netTimeLimit(platform.system);
    // net's messages are read for their status names, which only its English texts carry.
    run.environment = {{"LC_ALL", "C"}};
    // A net that chatters on (debug output, a loop) must not take the memory with it: 64 KiB
    // in all, the beginning and the end of each stream, which is where the status is told.
    run.keptBytesPerStream = kKeptNetOutputPerStream;
    const vt::platform::CapturedOutcome outcome = vt::platform::runCaptured(run);

    NetOutcome result;
    switch (outcome.status) {
        case vt::platform::CapturedStatus::Finished:
            result = classifyNetOutcome(request.action, outcome.exitCode,
                                        outcome.standardOutput + outcome.standardError);
            break;
        case vt::platform::CapturedStatus::TimedOut:
            result = timedOutOutcome();
            break;
        case vt::platform::CapturedStatus::NotFound:
            complain("net introuvable : installer le paquet samba-common-bin");
            log(platform.system, request.machine, kNetMissing);
            return 1;
        case vt::platform::CapturedStatus::NotStarted:
            result = {false, "échec : net n'a pas pu être lancé"};
            break;
    }
    if (!result.succeeded) {
        relayNetOutput(outcome);
    }
    log(platform.system, request.machine, result.result);
    std::cout << request.machine << " : " << result.result << std::endl;
    return result.succeeded ? 0 : 1;
}
