#include "core/incident_logs.h"

namespace vt {

std::string incidentLine(const Services& services, std::string_view machine, std::string_view error,
                         std::string_view cause) {
    const platform::LocalDateTime now = services.clock.now();
    const platform::System& system = services.platform.system;
    std::string line = system.shortDate(now) + ";" + system.longTime(now) + ";";
    line.append(machine).append(";").append(error).append(";").append(cause).append(";");
    return line;
}

}  // namespace vt
