#pragma once

// The minute scheduler as the program and the service both run it: the minute timer, the
// scheduler lock, the power commands with their checks and the quiet ticks' jobs. The window
// and the service give it what only they have (LEDs, boxes, the discovery jobs' owners).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "discovery/background_jobs.h"
#include "discovery/handler_errors.h"
#include "energy/consumption_history.h"
#include "power/follow_up.h"
#include "power/periodic_jobs.h"
#include "power/power_commands.h"
#include "power/scheduler.h"
#include "power/scheduler_lock.h"

namespace vt::power {

class TimetableRunner {
public:
    struct Hooks {
        // The quiet ticks' ping refresh and leases download; unset, they are not run.
        std::function<void()> pingRefresh;
        std::function<void()> leasesFetch;
        // Shows an error of a tick or a check; its console line is already written.
        discovery::ErrorReport reportError;
        // The room a check pinged, and whether a machine of it answered.
        FollowUps::GroupResult groupResult;
        // Told each time the timetables change hands: nothing when this process took them,
        // else the waiting text (timetablesHeldElsewhere). The console gets either text.
        std::function<void(const std::optional<std::string>& heldElsewhere)> holderChanged;
        // Run before and after each tick this process schedules: the service reads the files
        // the program changed, the window shows the day's times a tick may have reloaded.
        std::function<void()> beforeTick;
        std::function<void()> afterTick;
        // The program keeps its LEDs alive while the service holds the timetables.
        bool refreshWhileWaiting = false;
    };

    // `ownName` is what the lock file says of this process (kProgramHolderName, ...).
    TimetableRunner(VtlVar& state, const Services& services, discovery::BackgroundJobs& jobs,
                    std::string ownName, Hooks hooks);
    ~TimetableRunner();
    TimetableRunner(const TimetableRunner&) = delete;
    TimetableRunner& operator=(const TimetableRunner&) = delete;

    // Tries the lock at once, then ticks every minute.
    void start();
    // No more ticks; the lock goes to the other process at its next minute.
    void stop();
    // One minute: the timetables when this process holds them, else another try at the lock.
    void tick();

    bool holdsTimetables() const { return m_lock.held(); }
    // The commands of the row buttons, through the same commands as the timetable's, so that a
    // room has one check at a time. FileError as PowerCommands.
    void powerUpByHand(const std::string& group) { powerUp(group, true); }
    void shutdownByHand(const std::string& group) { shutdown(group, true); }
    PowerCommands& commands() { return *m_commands; }

private:
    // What the scheduler fires.
    class ScheduledActions : public PowerActions {
    public:
        explicit ScheduledActions(TimetableRunner& runner) : m_runner(runner) {}
        void PowerUp(const std::string& group) override { m_runner.powerUp(group, false); }
        void Shutdown(const std::string& group) override { m_runner.shutdown(group, false); }

    private:
        TimetableRunner& m_runner;
    };

    // A command, then its machines noted in the consumption history: on once woken (those
    // with a MAC address), off once asked to shut down (those not marked "*").
    void powerUp(const std::string& group, bool byHand);
    void shutdown(const std::string& group, bool byHand);
    // Takes the lock when it is free, and says so when the holder changed.
    bool holdLock();
    void runFollowUp(bool powerUp, const std::string& group, const FollowUpScope& scope);
    void report(const std::exception& error);

    VtlVar& m_state;
    Services m_services;
    Hooks m_hooks;
    SchedulerLock m_lock;
    energy::ConsumptionHistory m_history;
    std::unique_ptr<FollowUps> m_followUps;
    std::unique_ptr<PowerCommands> m_commands;
    ScheduledActions m_scheduled{*this};
    std::unique_ptr<Scheduler> m_scheduler;
    std::unique_ptr<PeriodicJobs> m_periodicJobs;
    std::optional<TimerId> m_timer;
    // What the console was last told about the holder.
    std::optional<std::string> m_lastSaid;
    int m_waitingTicks = 0;
};

}  // namespace vt::power
