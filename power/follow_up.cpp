#include "power/follow_up.h"

#include "core/incident_logs.h"
#include "core/strings.h"
#include "core/utils.h"

namespace vt::power {

FollowUps::FollowUps(VtlVar& state, const Services& services, discovery::BackgroundJobs& jobs)
    : m_state(state),
      m_services(services),
      m_jobs(jobs),
      m_self(std::make_shared<FollowUps*>(this)) {
}

void FollowUps::FollowUpLaunch(const std::string& group) {
    launch(group, true);
}

void FollowUps::FollowDownLaunch(const std::string& group) {
    launch(group, false);
}

void FollowUps::FollowUpReport(discovery::JobPoll& job) {
    report(job, true);
}

void FollowUps::FollowDownReport(discovery::JobPoll& job) {
    report(job, false);
}

void FollowUps::launch(const std::string& group, bool powerUp) {
    // Read whole before the first job starts, so that an unreadable file pings nothing.
    const std::vector<std::string> machines = LoadGroupMachines(m_services.platform.files, group);
    const std::weak_ptr<FollowUps*> self = m_self;
    for (const std::string& line : machines) {
        // A blank line names no machine; blanks around a name would get it refused.
        const std::string machine = trim(line);
        if (machine.empty()) {
            continue;
        }
        // A machine marked never to be shut down was not asked to: it still answering is no
        // incident.
        if (!powerUp && machine.back() == '*') {
            m_services.console.appendLine(StripMark(machine) + kNeverShutDownSkipped);
            continue;
        }
        m_jobs.ExecLaunchPING(machine, [self, powerUp](discovery::JobPoll& job) {
            if (const auto owner = self.lock()) {
                (*owner)->report(job, powerUp);
            } else {
                job.finish();
            }
        });
    }
}

void FollowUps::report(discovery::JobPoll& job, bool powerUp) {
    if (job.stillRunning()) {
        return;
    }
    Console& console = m_services.console;
    const std::string n = job.numberText();
    console.appendLine((powerUp ? "followupReport " : "followDownReport ") + n);

    const auto result = job.takeOutput();
    if (!result) {
        // The job number, not the machine: the result file would have named it.
        console.appendLine("======>vt_echo.exe a échoué sur " + n + " <======");
        job.finish();
        return;
    }
    if (result->empty()) {
        return;
    }
    const SplitResult answer = splitAtFirst(result->front(), "=");
    if (!answer.found || answer.after != (powerUp ? "0" : "1")) {
        return;
    }
    const std::string incident = incidentLine(
        m_services, answer.before, powerUp ? kNotStartedError : kNotStoppedError, kUnknownCause);
    (powerUp ? m_state.WolIncidents : m_state.ShutdownIncidents).push_back(incident);
    console.appendLine(incident);
}

}  // namespace vt::power
