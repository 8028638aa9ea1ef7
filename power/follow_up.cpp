#include "power/follow_up.h"

#include <algorithm>
#include <map>

#include "core/incident_logs.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::power {

FollowUps::FollowUps(VtlVar& state, const Services& services, discovery::BackgroundJobs& jobs)
    : m_state(state),
      m_services(services),
      m_jobs(jobs),
      m_self(std::make_shared<FollowUps*>(this)) {
}

namespace {

// What the shutdown tool said of each machine (upper case) since the window's first command:
// the last result of each.
std::map<std::string, std::string> shutdownResults(const platform::FileSystem& files,
                                                   std::size_t from) {
    std::map<std::string, std::string> results;
    const std::optional<std::string> bytes = files.readFile(kShutdownResultLog);
    if (!bytes) {
        return results;
    }
    // A log emptied since the window began is read whole.
    const std::size_t start = from <= bytes->size() ? from : 0;
    for (const std::string& line : splitLines(fromWindows1252(bytes->substr(start)))) {
        // "date;time;machine;result;"
        const SplitResult date = splitAtFirst(line, ";");
        const SplitResult time = splitAtFirst(date.after, ";");
        const SplitResult machine = splitAtFirst(time.after, ";");
        const SplitResult result = splitAtFirst(machine.after, ";");
        if (result.found && !trim(machine.before).empty()) {
            results[toUpperAscii(trim(machine.before))] = trim(result.before);
        }
    }
    return results;
}

// The cause of a machine that still answers: the tool's result when it says why the request
// did not go through; unknown when the request went through or nothing was said.
std::string shutdownCause(const std::map<std::string, std::string>& results,
                          const std::string& machine) {
    const auto found = results.find(toUpperAscii(machine));
    if (found == results.end() || found->second.empty() || found->second == "arrêt demandé" ||
        found->second == "redémarrage demandé" || found->second == "annulation demandée") {
        return kUnknownCause;
    }
    // The cause is one field of the incident line.
    std::string cause = found->second;
    std::replace(cause.begin(), cause.end(), ';', ',');
    return cause;
}

}  // namespace

void FollowUps::FollowUpLaunch(const std::string& group, const FollowUpScope& scope) {
    launch(group, true, scope);
}

void FollowUps::FollowDownLaunch(const std::string& group, const FollowUpScope& scope) {
    launch(group, false, scope);
}

void FollowUps::FollowUpReport(discovery::JobPoll& job) {
    const std::string cause = kUnknownCause;
    report(job, true, {}, &cause);
}

void FollowUps::FollowDownReport(discovery::JobPoll& job) {
    const std::string cause = kUnknownCause;
    report(job, false, {}, &cause);
}

void FollowUps::tally(const std::shared_ptr<CheckTally>& check, bool answered) {
    check->answered = check->answered || answered;
    if (--check->waiting == 0 && m_groupResult) {
        m_groupResult(check->group, check->answered);
    }
}

void FollowUps::launch(const std::string& group, bool powerUp, const FollowUpScope& scope) {
    // Read whole before the first job starts, so that an unreadable file pings nothing.
    const std::vector<std::string> machines = LoadGroupMachines(m_services.platform.files, group);
    const std::weak_ptr<FollowUps*> self = m_self;
    const std::map<std::string, std::string> results =
        powerUp ? std::map<std::string, std::string>{}
                : shutdownResults(m_services.platform.files, scope.shutdownLogStart);
    const auto check = std::make_shared<CheckTally>();
    check->group = group;
    for (const std::string& line : machines) {
        // A blank line names no machine; blanks around a name would get it refused.
        const std::string machine = trim(line);
        if (machine.empty()) {
            continue;
        }
        // A machine marked never to be shut down was not asked to: it still answering is no
        // incident, but it is pinged all the same, so that the room's LED shows it on.
        const bool marked = !powerUp && machine.back() == '*';
        if (marked) {
            m_services.console.appendLine(StripMark(machine) + kNeverShutDownSkipped);
        }
        const std::string cause = powerUp ? kUnknownCause : shutdownCause(results, machine);
        ++check->waiting;
        const bool launched = m_jobs.ExecLaunchPING(
            machine,
            [self, powerUp, marked, scope, cause, check, machine](discovery::JobPoll& job) {
                const auto owner = self.lock();
                if (!owner) {
                    job.finish();
                    return;
                }
                if (job.stillRunning()) {
                    return;
                }
                const std::optional<bool> answered =
                    (*owner)->report(job, powerUp, scope, marked ? nullptr : &cause);
                if (answered && (*owner)->m_history != nullptr) {
                    (*owner)->m_history->observe(check->group, machine, *answered,
                                                 energy::ObservationSource::Check);
                }
                (*owner)->tally(check, answered.value_or(false));
            });
        if (!launched) {
            --check->waiting;
        }
    }
}

std::optional<bool> FollowUps::report(discovery::JobPoll& job, bool powerUp,
                                      const FollowUpScope& scope, const std::string* cause) {
    if (job.stillRunning()) {
        return std::nullopt;
    }
    Console& console = m_services.console;
    const std::string n = job.numberText();
    console.appendLine((powerUp ? "followupReport " : "followDownReport ") + n);

    const auto result = job.takeOutput();
    if (!result) {
        // The job number, not the machine: the result file would have named it.
        console.appendLine("======>vt_echo.exe a échoué sur " + n + " <======");
        job.finish();
        return std::nullopt;
    }
    if (result->empty()) {
        return std::nullopt;
    }
    const SplitResult answer = splitAtFirst(result->front(), "=");
    if (!answer.found) {
        return std::nullopt;
    }
    const bool answered = answer.after == "1";
    if (cause == nullptr || answer.after != (powerUp ? "0" : "1")) {
        return answered;
    }
    if (scope.superseded && scope.superseded()) {
        console.appendLine(answer.before +
                           " : pas d'incident, le groupe a reçu une commande plus récente");
        return answered;
    }
    const std::string incident = incidentLine(
        m_services, answer.before, powerUp ? kNotStartedError : kNotStoppedError, *cause);
    logIncident(m_state, m_services, powerUp ? IncidentLog::PowerUp : IncidentLog::Shutdown,
                incident);
    console.appendLine(incident);
    return answered;
}

}  // namespace vt::power
