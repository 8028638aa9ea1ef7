#include "discovery/background_jobs.h"

#include "core/batch_arguments.h"
#include "core/command_runner.h"
#include "core/file_error.h"
#include "core/names.h"
#include "core/text_file.h"

namespace vt::discovery {

namespace {

constexpr std::chrono::milliseconds kPingInterval{20};
constexpr std::chrono::milliseconds kGroupPingInterval{200};
constexpr std::chrono::milliseconds kNbtstatInterval{300};
constexpr std::chrono::milliseconds kNetViewInterval{1000};

}  // namespace

bool JobPoll::stillRunning() const {
    // A marker that cannot be read is not taken for a finished job: its batch may not have
    // run yet.
    return m_jobs.m_services.platform.files.isReadOnly(BackgroundJobs::markerPath(m_number))
        .value_or(true);
}

std::optional<std::vector<std::string>> JobPoll::takeOutput() {
    auto& files = m_jobs.m_services.platform.files;
    const std::string output = BackgroundJobs::outputPath(m_kind, m_number);
    auto lines = readTextLines(files, output);
    if (!lines) {
        return std::nullopt;
    }
    finish();
    files.removeFile(output);
    files.removeFile(BackgroundJobs::batchPath(m_kind, m_number));
    return lines;
}

void JobPoll::finish() {
    m_jobs.finish(m_number, m_timer);
}

BackgroundJobs::BackgroundJobs(VtlVar& state, const Services& services)
    : m_state(state), m_services(services) {
}

BackgroundJobs::~BackgroundJobs() {
    // The timers' callbacks point at this object.
    for (const auto& [number, job] : m_jobs) {
        m_services.timers.stop(job.timer);
    }
}

void BackgroundJobs::setNumberRange(std::uint16_t first, std::uint16_t last) {
    m_firstNumber = first;
    m_lastNumber = last;
    if (m_state.JobCounter < first || m_state.JobCounter > last) {
        m_state.JobCounter = first;
    }
}

void BackgroundJobs::advanceCounter() {
    m_state.JobCounter =
        m_state.JobCounter >= m_lastNumber ? m_firstNumber : m_state.JobCounter + 1;
}

std::string BackgroundJobs::markerPath(std::uint16_t number) {
    return "c:\\" + std::to_string(number) + ".mark";
}

std::string BackgroundJobs::batchPath(std::string_view kind, std::uint16_t number) {
    return "c:\\" + std::string(kind) + std::to_string(number) + ".bat";
}

std::string BackgroundJobs::outputPath(std::string_view kind, std::uint16_t number) {
    return "c:\\" + std::string(kind) + std::to_string(number) + ".txt";
}

bool BackgroundJobs::ExecLaunchPING(std::string_view target, PollHandler handler) {
    // A machine marked as never to be shut down is pinged under its plain name.
    std::string plain(target);
    if (!plain.empty() && plain.back() == '*') {
        plain.pop_back();
    }
    if (refuseTarget(machineNameRefusal(plain), target) || refuseInFlight()) {
        return false;
    }
    const std::uint16_t n = m_state.JobCounter;
    launch("ping", "\"" + m_state.DataDir + "vt_echo.exe\" " + plain + " " + outputPath("ping", n),
           "Lancement de ping " + plain + "...", kPingInterval, std::move(handler));
    return true;
}

bool BackgroundJobs::ExecPING_GM(std::string_view group, PollHandler handler) {
    if (group == "Autres") {
        return false;
    }
    if (refuseTarget(groupNameRefusal(group), group) || refuseInFlight()) {
        return false;
    }
    const std::uint16_t n = m_state.JobCounter;
    // An earlier result under the same number must not be taken for this job's.
    m_services.platform.files.removeFile(outputPath("ping", n));
    launch("ping",
           "\"" + m_state.DataDir + "vt_echo.exe\" " + std::string(group) + " " +
               outputPath("ping", n),
           "Lancement de ping " + std::string(group) + "...", kGroupPingInterval,
           std::move(handler));
    return true;
}

bool BackgroundJobs::ExecLaunchNetView(PollHandler handler) {
    if (refuseInFlight()) {
        return false;
    }
    launch("netview", "net view > " + outputPath("netview", m_state.JobCounter),
           "Lancement de NET VIEW...", kNetViewInterval, std::move(handler));
    return true;
}

bool BackgroundJobs::ExecLaunchNBTSTAT(std::string_view host, PollHandler handler) {
    if (refuseTarget(machineNameRefusal(host), host) || refuseInFlight()) {
        return false;
    }
    launch("nbtstat",
           "nbtstat -a " + std::string(host) + " >" + outputPath("nbtstat", m_state.JobCounter),
           "Lancement de NBTSTAT...", kNbtstatInterval, std::move(handler));
    return true;
}

bool BackgroundJobs::refuseTarget(const std::string& refusal, std::string_view given) const {
    // Names come from files other programs write; one must not become another command, or
    // name a file that vt_echo would take for its list of hosts.
    if (refusal.empty()) {
        return false;
    }
    m_services.console.appendLine("commande refusée : " + shownName(given) + " (" + refusal + ")");
    return true;
}

bool BackgroundJobs::refuseInFlight() const {
    // Taking over a running job's files would hand its output to the wrong handler.
    if (!isInFlight(m_state.JobCounter)) {
        return false;
    }
    m_services.console.appendLine("tâche " + std::to_string(m_state.JobCounter) +
                                  " encore en cours, lancement refusé");
    return true;
}

void BackgroundJobs::launch(const std::string& kind, const std::string& commandLine,
                            const std::string& message, std::chrono::milliseconds interval,
                            PollHandler handler) {
    auto& files = m_services.platform.files;
    const std::uint16_t n = m_state.JobCounter;
    const std::string marker = markerPath(n);
    // A marker that cannot be made is not reported: the poll treats it as still running.
    if (!files.exists(marker)) {
        files.writeFile(marker, "");
    }
    files.setReadOnly(marker, true);

    const std::string batch = batchPath(kind, n);
    try {
        writeBatchFile(files, batch, {commandLine, "attrib -R " + marker});
    } catch (const FileError&) {
        // No job runs under this number: its marker must not wait for one, and the next
        // launch takes the next number rather than the same unwritable batch.
        files.setReadOnly(marker, false);
        advanceCounter();
        throw;
    }
    StartHidden(m_services, batchCommandLine(batch));
    m_services.console.appendLine(message);

    Job& job = m_jobs[n];
    job.kind = kind;
    job.handler = std::move(handler);
    // A stopped timer never fires, so the number alone finds the job that owns the tick.
    job.timer = m_services.timers.startRepeating(interval, [this, n] { poll(n); });
    advanceCounter();
}

void BackgroundJobs::poll(std::uint16_t number) {
    auto it = m_jobs.find(number);
    if (it == m_jobs.end()) {
        return;
    }
    // The handler may finish the job, which drops its slot: call a copy.
    PollHandler handler = it->second.handler;
    JobPoll job(*this, number, it->second.kind, it->second.timer);
    if (handler) {
        handler(job);
    }
}

void BackgroundJobs::finish(std::uint16_t number, TimerId timer) {
    auto it = m_jobs.find(number);
    if (it == m_jobs.end() || it->second.timer != timer) {
        return;
    }
    m_services.timers.stop(timer);
    m_jobs.erase(it);
}

}  // namespace vt::discovery
