#pragma once

// The ping refresh of the group LEDs: one ping job per group (vt_echo pings every machine of
// the group's file), and each job's result turns its group's LED green when at least one
// machine answered, red when none did. What each machine did is kept in the consumption
// history.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "discovery/background_jobs.h"
#include "energy/consumption_history.h"

namespace vt::discovery {

// Sets the LED of the group row: green when a machine answered, red otherwise.
using GroupLedSetter = std::function<void(std::size_t row, bool answered)>;

class PingRefresh {
public:
    PingRefresh(VtlVar& state, const Services& services, BackgroundJobs& jobs);
    PingRefresh(const PingRefresh&) = delete;
    PingRefresh& operator=(const PingRefresh&) = delete;

    void setGroupLed(GroupLedSetter setter) { m_setLed = std::move(setter); }

    // One refresh job per group but the last ("Autres"). A group whose job cannot be started
    // (its batch cannot be written) does not keep the others from theirs: FileError for the
    // first such group once all were tried.
    void Ping_MAJ();

    // Poll handler of the refresh job of a group. The LED is the one of the group the job was
    // started for, wherever that group now stands in GroupList; nothing when it is gone.
    void ExecReadMAJ(JobPoll& job, const std::string& group);

private:
    VtlVar& m_state;
    Services m_services;
    BackgroundJobs& m_jobs;
    GroupLedSetter m_setLed;
    // Every answer and silence goes to the consumption history.
    energy::ConsumptionHistory m_history;
    // Jobs may outlive this object; their handlers then only end the job.
    std::shared_ptr<PingRefresh*> m_self;
};

}  // namespace vt::discovery
