#include "power/timetable_runner.h"

#include "core/file_error.h"
#include "core/utils.h"

namespace vt::power {

namespace {

// While waiting, the program refreshes its LEDs as often as the holder's quiet ticks would.
constexpr int kWaitingRefreshRhythm = 9;

}  // namespace

TimetableRunner::TimetableRunner(VtlVar& state, const Services& services,
                                 discovery::BackgroundJobs& jobs, std::string ownName, Hooks hooks)
    : m_state(state),
      m_services(services),
      m_hooks(std::move(hooks)),
      m_lock(services.platform.files, std::move(ownName)),
      m_history(state, services),
      m_followUps(std::make_unique<FollowUps>(state, services, jobs)),
      m_commands(std::make_unique<PowerCommands>(state, services)),
      m_scheduler(std::make_unique<Scheduler>(state, services, m_scheduled)) {
    m_followUps->setHistory(&m_history);
    m_periodicJobs = std::make_unique<PeriodicJobs>(
        state, services,
        PeriodicJobs::Steps{m_hooks.pingRefresh, m_hooks.leasesFetch, m_hooks.reportError});
    m_scheduler->setQuietTick([this] { m_periodicJobs->quietTick(); });
    m_followUps->setGroupResult(m_hooks.groupResult);
    m_commands->setPowerUpFollowUp([this](const std::string& group, const FollowUpScope& scope) {
        runFollowUp(true, group, scope);
    });
    m_commands->setShutdownFollowUp([this](const std::string& group, const FollowUpScope& scope) {
        runFollowUp(false, group, scope);
    });
}

TimetableRunner::~TimetableRunner() {
    stop();
}

void TimetableRunner::start() {
    holdLock();
    if (!m_timer) {
        m_timer = m_services.timers.startRepeating(kSchedulerInterval, [this] { tick(); });
    }
}

void TimetableRunner::stop() {
    if (m_timer) {
        m_services.timers.stop(*m_timer);
        m_timer.reset();
    }
}

void TimetableRunner::tick() {
    if (!holdLock()) {
        if (m_hooks.refreshWhileWaiting && m_hooks.pingRefresh &&
            m_waitingTicks++ % kWaitingRefreshRhythm == 0) {
            discovery::runReportingErrors(m_services.console, m_hooks.reportError,
                                          m_hooks.pingRefresh);
        }
        return;
    }
    try {
        if (m_hooks.beforeTick) {
            m_hooks.beforeTick();
        }
        m_scheduler->Timer1Timer();
    } catch (const FileError& error) {
        report(error);
    }
    if (m_hooks.afterTick) {
        m_hooks.afterTick();
    }
}

bool TimetableRunner::holdLock() {
    const bool held = m_lock.hold(m_state.DataDir);
    const std::string lockPath = m_state.DataDir + kSchedulerLockFile;
    std::string said;
    if (held) {
        said = timetablesHeldHere(m_lock.ownName(), platform::currentProcessId());
    } else if (!m_services.platform.files.exists(lockPath)) {
        // Nobody holds a lock that cannot even be made: the folder refuses it.
        said = std::string(FileError::cannotCreate(lockPath).what()) + " : planification suspendue";
    } else {
        said = timetablesHeldElsewhere(m_lock.holder(m_state.DataDir),
                                       m_lock.ownName() == kServiceHolderName);
    }
    if (m_lastSaid != said) {
        m_services.console.appendLine(said);
        m_lastSaid = said;
        if (m_hooks.holderChanged) {
            m_hooks.holderChanged(held ? std::nullopt : std::optional<std::string>(said));
        }
    }
    return held;
}

void TimetableRunner::powerUp(const std::string& group, bool byHand) {
    m_commands->PowerUp(group);
    std::vector<energy::MachineState> woken;
    for (const std::string& line : LoadGroupMachines(m_services.platform.files, group)) {
        const std::string machine = StripMark(trim(line));
        if (!machine.empty() && !MacLookup(m_state, machine).empty()) {
            woken.emplace_back(machine, true);
        }
    }
    m_history.observe(
        group, woken,
        byHand ? energy::ObservationSource::ManualPowerOn : energy::ObservationSource::PowerOn);
}

void TimetableRunner::shutdown(const std::string& group, bool byHand) {
    m_commands->Shutdown(group);
    std::vector<energy::MachineState> asked;
    for (const std::string& line : LoadGroupMachines(m_services.platform.files, group)) {
        const std::string machine = trim(line);
        if (!machine.empty() && machine.back() != '*') {
            asked.emplace_back(machine, false);
        }
    }
    m_history.observe(
        group, asked,
        byHand ? energy::ObservationSource::ManualShutdown : energy::ObservationSource::Shutdown);
}

void TimetableRunner::runFollowUp(bool powerUp, const std::string& group,
                                  const FollowUpScope& scope) {
    try {
        if (powerUp) {
            m_followUps->FollowUpLaunch(group, scope);
        } else {
            m_followUps->FollowDownLaunch(group, scope);
        }
    } catch (const FileError& error) {
        report(error);
    }
}

void TimetableRunner::report(const std::exception& error) {
    m_services.console.appendLine(error.what());
    if (m_hooks.reportError) {
        m_hooks.reportError(error.what());
    }
}

}  // namespace vt::power
