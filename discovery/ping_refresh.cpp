#include "discovery/ping_refresh.h"

#include <algorithm>
#include <optional>

#include "core/file_error.h"
#include "core/strings.h"

namespace vt::discovery {

namespace {

// Writes "For <group> <line>" for every result line and tells whether one of them has the
// value looked for.
bool scanResults(Console& console, const std::string& group,
                 const std::vector<std::string>& results, std::string_view wanted) {
    bool found = false;
    for (const std::string& line : results) {
        if (line.empty()) {
            continue;
        }
        console.appendLine("For " + group + " " + line);
        const SplitResult pair = splitAtFirst(line, "=");
        if (pair.found && trim(atMost255(pair.after)) == wanted) {
            found = true;
        }
    }
    return found;
}

// Each result line "name=value" as a machine and whether it answered.
std::vector<energy::MachineState> machineStates(const std::vector<std::string>& results) {
    std::vector<energy::MachineState> machines;
    for (const std::string& line : results) {
        const SplitResult pair = splitAtFirst(line, "=");
        if (pair.found) {
            machines.emplace_back(pair.before, trim(atMost255(pair.after)) == "1");
        }
    }
    return machines;
}

}  // namespace

PingRefresh::PingRefresh(VtlVar& state, const Services& services, BackgroundJobs& jobs)
    : m_state(state),
      m_services(services),
      m_jobs(jobs),
      m_history(state, services),
      m_self(std::make_shared<PingRefresh*>(this)) {
}

void PingRefresh::Ping_MAJ() {
    if (m_state.GroupList.size() < 2) {
        return;
    }
    const std::weak_ptr<PingRefresh*> self = m_self;
    const std::vector<std::string> groups(m_state.GroupList.begin(), m_state.GroupList.end() - 1);
    std::optional<FileError> firstFailure;
    for (const std::string& group : groups) {
        try {
            m_jobs.ExecPING_GM(group, [self, group](JobPoll& job) {
                if (const auto owner = self.lock()) {
                    (*owner)->ExecReadMAJ(job, group);
                } else {
                    job.finish();
                }
            });
        } catch (const FileError& error) {
            if (!firstFailure) {
                firstFailure = error;
            }
        }
    }
    if (firstFailure) {
        throw *firstFailure;
    }
}

void PingRefresh::ExecReadMAJ(JobPoll& job, const std::string& group) {
    if (job.stillRunning()) {
        return;
    }
    const std::string n = job.numberText();
    const std::optional<std::vector<std::string>> results = job.takeOutput();
    if (!results) {
        m_services.console.appendLine("======>vt_echo.exe a échoué sur " + n + " <======");
        job.finish();
        return;
    }
    if (results->empty()) {
        m_services.console.appendLine("Ne peut pas pinger " + n);
        return;
    }
    // The job knows its group: a machine filed under several groups must not light another
    // group's LED.
    const auto row = std::find(m_state.GroupList.begin(), m_state.GroupList.end(), group);
    if (row == m_state.GroupList.end()) {
        return;
    }
    const auto index = static_cast<std::size_t>(row - m_state.GroupList.begin());
    m_history.observe(group, machineStates(*results), energy::ObservationSource::Ping);
    Console& console = m_services.console;
    if (!scanResults(console, group, *results, "1")) {
        if (m_setLed) {
            m_setLed(index, false);
        }
        return;
    }
    // The log shows the results a second time, as it always has.
    scanResults(console, group, *results, "0");
    if (m_setLed) {
        m_setLed(index, true);
    }
}

}  // namespace vt::discovery
