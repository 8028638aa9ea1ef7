#pragma once

// The checks that follow a power command: every machine of the group is pinged as a
// numbered background job, and each machine that did not change state goes to an incident
// log. A power-up's machine that stays silent goes to WolIncidents, a shutdown's machine that
// still answers to ShutdownIncidents.

#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "discovery/background_jobs.h"

namespace vt::power {

// Console text after the name of a machine that a shutdown check leaves out.
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
    // nothing is pinged then, and the caller shows the error.
    void FollowUpLaunch(const std::string& group);
    void FollowDownLaunch(const std::string& group);

    // Poll handlers of those jobs, called on every tick of the job's timer.
    void FollowUpReport(discovery::JobPoll& job);
    void FollowDownReport(discovery::JobPoll& job);

private:
    void launch(const std::string& group, bool powerUp);
    void report(discovery::JobPoll& job, bool powerUp);

    VtlVar& m_state;
    Services m_services;
    discovery::BackgroundJobs& m_jobs;
    // Jobs may outlive this object; their handlers then only end the job.
    std::shared_ptr<FollowUps*> m_self;
};

}  // namespace vt::power
