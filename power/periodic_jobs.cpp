#include "power/periodic_jobs.h"

#include <limits>

#include "core/command_runner.h"
#include "power/scheduler.h"

namespace vt::power {

namespace {

constexpr const char* kCacheTool = "vt_arpsift.exe";
constexpr const char* kHardwareInventoryTool = "vt_ocs_hardware.exe";
constexpr int kPingRefreshRhythm = 9;
constexpr int kPingRefreshTick = 0;
constexpr int kCacheToolTick = 2;
constexpr int kInventoryRhythm = 15;
constexpr int kHardwareInventoryTick = 0;
constexpr int kLeasesTick = 1;

// True when the program is there: as named, or, for "X.exe", as "X" where programs carry no
// extension.
bool programExists(const platform::FileSystem& files, const std::string& path) {
    constexpr std::string_view kExe = ".exe";
    if (files.exists(path)) {
        return true;
    }
    return path.ends_with(kExe) && files.exists(path.substr(0, path.size() - kExe.size()));
}

}  // namespace

std::string cacheToolCommandLine(const VtlVar& state) {
    const std::string program = state.DataDir + kCacheTool;
    // A folder with a blank would split the unquoted path into a program and an argument.
    return state.DataDir.find(' ') == std::string::npos ? program : "\"" + program + "\"";
}

std::string hardwareInventoryCommandLine(const VtlVar& state) {
    return "\"" + state.DataDir + kHardwareInventoryTool + "\" " + state.Prefs.ocs_server + " " +
           state.Prefs.ocs_login;
}

PeriodicJobs::PeriodicJobs(VtlVar& state, const Services& services, Steps steps)
    : m_state(state), m_services(services), m_steps(std::move(steps)) {
}

void PeriodicJobs::quietTick() {
    const int tick = m_state.TickCount;
    if (tick % kPingRefreshRhythm == kPingRefreshTick) {
        runStep(m_steps.pingRefresh);
    }
    if (tick % kPingRefreshRhythm == kCacheToolTick) {
        startProgram(kCacheTool, cacheToolCommandLine(m_state));
    }
    if (tick % kInventoryRhythm == kHardwareInventoryTick) {
        startProgram(kHardwareInventoryTool, hardwareInventoryCommandLine(m_state),
                     inventoryToolEnvironment(m_state));
    }
    if (tick % kInventoryRhythm == kLeasesTick) {
        runStep(m_steps.leasesFetch);
    }
    // After 2^31 minutes the count starts again rather than overflow.
    m_state.TickCount = tick == std::numeric_limits<std::int32_t>::max() ? 0 : tick + 1;
}

void PeriodicJobs::startProgram(const std::string& file, const std::string& commandLine,
                                const platform::EnvironmentEntries& extraEnvironment) {
    if (!programExists(m_services.platform.files, m_state.DataDir + file)) {
        m_services.console.appendLine("programme absent, non lancé : " + m_state.DataDir + file);
        return;
    }
    StartHidden(m_services, commandLine, extraEnvironment);
}

void PeriodicJobs::runStep(const std::function<void()>& step) {
    if (!step) {
        return;
    }
    // A step that fails must not hold up the count: every later tick would repeat it.
    discovery::runReportingErrors(m_services.console, m_steps.reportError, step);
}

}  // namespace vt::power
