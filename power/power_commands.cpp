#include "power/power_commands.h"

#include <algorithm>

#include "core/address_lists.h"
#include "core/batch_arguments.h"
#include "core/command_runner.h"
#include "core/incident_logs.h"
#include "core/shutdown_account.h"
#include "core/strings.h"
#include "core/utils.h"

namespace vt::power {

namespace {

constexpr const char* kRefused = "commande refusée : ";

// An empty line names no machine; looked up, it would match the first MAC address listed.
bool namesNoMachine(std::string_view line) {
    return trim(line).empty();
}

}  // namespace

std::string powerUpBatchPath(const VtlVar& state, std::string_view group) {
    return state.DataDir + "powerup" + std::string(group) + ".bat";
}

std::string shutdownBatchPath(const VtlVar& state, std::string_view group) {
    return state.DataDir + "shutdn" + std::string(group) + ".bat";
}

PowerCommands::PowerCommands(VtlVar& state, const Services& services)
    : m_state(state),
      m_services(services),
      m_latestCommand(std::make_shared<std::map<std::string, std::uint64_t>>()) {
}

PowerCommands::~PowerCommands() {
    for (const auto& [key, pending] : m_pending) {
        m_services.timers.stop(pending.timer);
    }
}

void PowerCommands::addWolIncident(const std::string& machine, const char* cause) {
    logIncident(m_state, m_services, IncidentLog::PowerUp,
                incidentLine(m_services, machine, kNotStartedError, cause));
}

void PowerCommands::runBatch(const std::string& path, const std::vector<std::string>& lines) {
    writeBatchFile(m_services.platform.files, path, lines);
    StartHidden(m_services, batchCommandLine(path));
}

bool PowerCommands::shutdownCheckPending(const std::string& group) const {
    return std::any_of(m_pending.begin(), m_pending.end(), [&](const auto& entry) {
        return !entry.second.powerUp && equalsNoCase(entry.second.group, group);
    });
}

void PowerCommands::armFollowUp(std::chrono::milliseconds delay, const std::string& group,
                                bool powerUp) {
    const std::string groupKey = toUpperAscii(group);
    // The group's check that has not started yet is this command's to make now.
    std::erase_if(m_pending, [&](const auto& entry) {
        if (!equalsNoCase(entry.second.group, group)) {
            return false;
        }
        m_services.timers.stop(entry.second.timer);
        return true;
    });
    const std::uint64_t command = ++(*m_latestCommand)[groupKey];
    FollowUpScope scope;
    scope.superseded = [latest = std::weak_ptr(m_latestCommand), groupKey, command] {
        const auto commands = latest.lock();
        return commands && (*commands)[groupKey] != command;
    };
    scope.shutdownLogStart = powerUp ? 0 : m_shutdownLogStart[groupKey];

    const std::uint64_t key = m_nextFollowUp++;
    const TimerId timer = m_services.timers.startOneShot(delay, [this, key, group, powerUp, scope] {
        m_pending.erase(key);
        const FollowUp& followUp = powerUp ? m_onPowerUpFollowUp : m_onShutdownFollowUp;
        if (followUp) {
            followUp(group, scope);
        }
    });
    m_pending[key] = {timer, group, powerUp};
}

void PowerCommands::PowerUp(const std::string& group) {
    std::vector<std::string> batch{"cd " + m_state.DataDir};
    const std::vector<std::string> machines = LoadGroupMachines(m_services.platform.files, group);
    Console& console = m_services.console;
    refreshAddressLists(m_state, m_services.platform.files);
    const GroupLineAddresses addresses(m_state);

    for (const std::string& line : machines) {
        // An empty line names no machine: it never reaches a batch line.
        if (namesNoMachine(line)) {
            continue;
        }
        if (const std::string refusal = machineNameRefusal(StripMark(line)); !refusal.empty()) {
            console.appendLine(kRefused + shownName(line) + " (" + refusal + ")");
            addWolIncident(shownName(line), kNoMacCause);
            continue;
        }
        const std::string mac = trim(addresses.mac(line));
        if (mac.empty()) {
            console.appendLine("wake-on-lan : pas d'adresse MAC pour " + line);
            addWolIncident(line, kNoMacCause);
            continue;
        }
        // wolcmd accepts or reports the layouts of a MAC address; only a text that would
        // change the batch line stays out of it.
        if (!isSingleBatchArgument(mac)) {
            console.appendLine(kRefused + line);
            addWolIncident(line, kNoMacCause);
            continue;
        }
        if (m_state.Prefs.masque.empty()) {
            m_state.Prefs.masque = kDefaultWolMask;
        }
        const std::string ip = addresses.ip(line);
        if (!isSingleBatchArgument(ip) || !isSingleBatchArgument(m_state.Prefs.masque)) {
            console.appendLine(kRefused + line);
            continue;
        }
        const std::string command = "wolcmd " + mac + " " + ip + " " + m_state.Prefs.masque;
        batch.push_back(command);
        console.appendLine("commande lancée : " + command);
    }

    runBatch(powerUpBatchPath(m_state, group), batch);
    armFollowUp(kPowerUpFollowUpDelay, group, true);
}

void PowerCommands::Shutdown(const std::string& group) {
    std::vector<std::string> batch;
    const std::vector<std::string> machines = LoadGroupMachines(m_services.platform.files, group);
    Console& console = m_services.console;

    Preferences& prefs = m_state.Prefs;
    if (prefs.shutdown_wait == 0) {
        prefs.shutdown_wait = 1;
    }
    if (prefs.shutdown_comment.empty()) {
        prefs.shutdown_comment = kDefaultShutdownComment;
    }
    const std::string options = "shutdown -s -f -t " + std::to_string(prefs.shutdown_wait) +
                                " -c \"" + quotableComment(prefs.shutdown_comment) + "\" -m \\\\";

    for (const std::string& line : machines) {
        if (namesNoMachine(line)) {
            continue;
        }
        // A blank inside the name would let the rest of it read as further switches. The
        // never-shutdown mark "*" stays in the host name, where it reaches no machine.
        const std::string host = trim(line);
        if (const std::string refusal = machineNameRefusal(host); !refusal.empty()) {
            console.appendLine(kRefused + shownName(line) + " (" + refusal + ")");
            continue;
        }
        const std::string command = options + host;
        batch.push_back(command);
        console.appendLine(command);
    }

    // The results of a window's repeats follow each other in the log: its check reads them
    // from where the window's first command found the log's end.
    if (!shutdownCheckPending(group)) {
        const auto log = m_services.platform.files.readFile(kShutdownResultLog);
        m_shutdownLogStart[toUpperAscii(group)] = log ? log->size() : 0;
    }
    // Without an account the tool stops at every machine with "identifiants introuvables" in
    // "shutdown.log": one line says here, at once, what to do about it.
    if (!batch.empty()) {
        const std::string advice = missingShutdownAccountAdvice(
            platform::findShutdownCredentials(m_services.platform.system.executableDirectory()));
        if (!advice.empty()) {
            console.appendLine(advice);
        }
    }
    runBatch(shutdownBatchPath(m_state, group), batch);
    armFollowUp(kShutdownFollowUpDelay, group, false);
}

}  // namespace vt::power
