#pragma once

// Outside commands (net view, nbtstat, the ping tool) run as numbered jobs: each job owns a
// marker "c:\" + n + ".mark" that stays read-only until its batch's last line unlocks it, a
// two-line batch and an output file, all named by the job number, and a poll timer on the
// user-interface thread that hands the output to the launcher's handler once the marker is
// unlocked.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"

namespace vt::discovery {

// The program numbers its jobs below this, the service from it on.
inline constexpr std::uint16_t kServiceFirstJobNumber = 32768;

class BackgroundJobs;

// What a poll handler is given each time its job's timer fires.
class JobPoll {
public:
    JobPoll(BackgroundJobs& jobs, std::uint16_t number, std::string kind, TimerId timer)
        : m_jobs(jobs), m_number(number), m_kind(std::move(kind)), m_timer(timer) {}

    std::uint16_t number() const { return m_number; }
    std::string numberText() const { return std::to_string(m_number); }
    // True while the marker is read-only, or when its attributes cannot be read.
    bool stillRunning() const;
    // Once stillRunning() is false: the output's lines; the timer is stopped and the output and
    // batch files deleted. Nothing when the output file does not exist: the timer keeps running
    // until the handler's failure path calls finish().
    std::optional<std::vector<std::string>> takeOutput();
    // Stops the job's timer; the number is free again. Calling it twice does nothing.
    void finish();

private:
    BackgroundJobs& m_jobs;
    std::uint16_t m_number;
    std::string m_kind;
    TimerId m_timer;
};

using PollHandler = std::function<void(JobPoll&)>;

class BackgroundJobs {
public:
    BackgroundJobs(VtlVar& state, const Services& services);
    ~BackgroundJobs();
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    // Each launcher returns true when a job was started. A target that is no usable machine
    // (or group) name, or a job number whose last job still runs, is refused with a console
    // line. FileError when the batch cannot be written; its number is then used up.
    bool ExecLaunchPING(std::string_view target, PollHandler handler);
    bool ExecPING_GM(std::string_view group, PollHandler handler);
    bool ExecLaunchNetView(PollHandler handler);
    bool ExecLaunchNBTSTAT(std::string_view host, PollHandler handler);

    // The job numbers this process uses, wrapping from the last to the first. The program and
    // the service share drive C: each keeps to its half, so neither takes the other's files.
    // The whole range until set.
    void setNumberRange(std::uint16_t first, std::uint16_t last);

    // True while the job numbered n has a poll timer.
    bool isInFlight(std::uint16_t number) const { return m_jobs.count(number) != 0; }
    std::size_t inFlightCount() const { return m_jobs.size(); }

    static std::string markerPath(std::uint16_t number);
    static std::string batchPath(std::string_view kind, std::uint16_t number);
    static std::string outputPath(std::string_view kind, std::uint16_t number);

private:
    friend class JobPoll;

    struct Job {
        TimerId timer = 0;
        std::string kind;
        PollHandler handler;
    };

    // Refuses with a console line naming the target as given, when there is a reason to.
    bool refuseTarget(const std::string& refusal, std::string_view given) const;
    bool refuseInFlight() const;
    // The counter after a number was used up.
    void advanceCounter();
    void launch(const std::string& kind, const std::string& commandLine, const std::string& message,
                std::chrono::milliseconds interval, PollHandler handler);
    void poll(std::uint16_t number);
    void finish(std::uint16_t number, TimerId timer);

    VtlVar& m_state;
    Services m_services;
    std::map<std::uint16_t, Job> m_jobs;  // the slot table: only numbers in flight
    std::uint16_t m_firstNumber = 0;
    std::uint16_t m_lastNumber = 0xFFFF;
};

}  // namespace vt::discovery
