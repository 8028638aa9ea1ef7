#pragma once

// The checks that follow a power command: every machine of the group is pinged as a
// numbered background job, and each machine that did not change state goes to an incident
// log. A power-up's machine that stays silent goes to WolIncidents, a shutdown's machine that
// still answers to ShutdownIncidents, with the cause the shutdown tool gave for it in
// "shutdown.log" when it gave one (access refused, machine unreachable, ...).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "discovery/background_jobs.h"
#include "energy/consumption_history.h"
#include "power/power_commands.h"

namespace vt::power {

// Console text after the name of a machine that a shutdown check does not log.
inline constexpr const char* kNeverShutDownSkipped =
    " : jamais éteinte (marquée *), pas de contrôle";

class FollowUps {
public:
    FollowUps(VtlVar& state, const Services& services, discovery::BackgroundJobs& jobs);
    FollowUps(const FollowUps&) = delete;
    FollowUps& operator=(const FollowUps&) = delete;

    // One ping job per machine line of the group's file (bare name), all at once, each
    // reported by FollowUpReport / FollowDownReport. The shutdown check leaves out the lines
    // marked "*" (never shut down) with a console line. FileError when the file cannot be read:
    // nothing is pinged then, and the caller shows the error. Results that come in once the
    // scope is superseded log nothing.
    void FollowUpLaunch(const std::string& group, const FollowUpScope& scope = {});
    void FollowDownLaunch(const std::string& group, const FollowUpScope& scope = {});

    // Receives the group of a check once all of its machines answered or not: whether one of
    // them answered. The check pings the room anyway, so its LED can show it at once.
    using GroupResult = std::function<void(const std::string& group, bool answered)>;
    void setGroupResult(GroupResult result) { m_groupResult = std::move(result); }

    // Where each machine's answer is noted as an observation of its state; unset, nowhere.
    void setHistory(energy::ConsumptionHistory* history) { m_history = history; }

    // Poll handlers of those jobs, called on every tick of the job's timer.
    void FollowUpReport(discovery::JobPoll& job);
    void FollowDownReport(discovery::JobPoll& job);

private:
    void launch(const std::string& group, bool powerUp, const FollowUpScope& scope);
    // What the jobs of one check found so far.
    struct CheckTally {
        std::string group;
        std::size_t waiting = 0;
        bool answered = false;
    };
    // Whether the machine answered, once its result is in. Without a cause the machine is
    // pinged for the room's LED only and never logged.
    std::optional<bool> report(discovery::JobPoll& job, bool powerUp, const FollowUpScope& scope,
                               const std::string* cause);
    void tally(const std::shared_ptr<CheckTally>& check, bool answered);

    VtlVar& m_state;
    Services m_services;
    discovery::BackgroundJobs& m_jobs;
    GroupResult m_groupResult;
    energy::ConsumptionHistory* m_history = nullptr;
    // Jobs may outlive this object; their handlers then only end the job.
    std::shared_ptr<FollowUps*> m_self;
};

}  // namespace vt::power
