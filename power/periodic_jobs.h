#pragma once

// What the minute scheduler runs on a tick without group action (a quiet tick), each on its
// own rhythm of quiet ticks: the ping refresh of the group LEDs, the cache tool vt_arpsift,
// the hardware inventory export and the download of the DHCP leases file.

#include <functional>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "discovery/handler_errors.h"

namespace vt::power {

// The command lines of the two programs, started from the data directory. The hardware
// export's, as the software export's, ends with the login: its password goes into its
// environment (inventoryToolEnvironment).
std::string cacheToolCommandLine(const VtlVar& state);
std::string hardwareInventoryCommandLine(const VtlVar& state);

class PeriodicJobs {
public:
    struct Steps {
        std::function<void()> pingRefresh;
        std::function<void()> leasesFetch;
        // Shows an error a step met (its console line is already written); the other steps
        // still run.
        discovery::ErrorReport reportError;
    };

    PeriodicJobs(VtlVar& state, const Services& services, Steps steps);

    // The quiet-tick step: TickCount mod 9 = 0 the ping refresh, mod 9 = 2 vt_arpsift,
    // mod 15 = 0 the hardware export, mod 15 = 1 the leases download; then TickCount + 1.
    void quietTick();

private:
    // Starts a program of the data directory hidden, or says on the console that it is not
    // there.
    void startProgram(const std::string& file, const std::string& commandLine,
                      const platform::EnvironmentEntries& extraEnvironment = {});
    void runStep(const std::function<void()>& step);

    VtlVar& m_state;
    Services m_services;
    Steps m_steps;
};

}  // namespace vt::power
