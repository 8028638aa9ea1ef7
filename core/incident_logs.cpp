#include "core/incident_logs.h"

#include "core/file_error.h"
#include "core/text_file.h"

namespace vt {

std::string incidentLine(const Services& services, std::string_view machine, std::string_view error,
                         std::string_view cause) {
    const platform::LocalDateTime now = services.clock.now();
    const platform::System& system = services.platform.system;
    std::string line = system.shortDate(now) + ";" + system.longTime(now) + ";";
    line.append(machine).append(";").append(error).append(";").append(cause).append(";");
    return line;
}

const char* incidentLogFile(IncidentLog log) {
    return log == IncidentLog::PowerUp ? kWolLogFile : kShutdownLogFile;
}

const std::vector<std::string>& incidentsInMemory(const VtlVar& state, IncidentLog log) {
    return log == IncidentLog::PowerUp ? state.WolIncidents : state.ShutdownIncidents;
}

void logIncident(VtlVar& state, const Services& services, IncidentLog log,
                 const std::string& line) {
    (log == IncidentLog::PowerUp ? state.WolIncidents : state.ShutdownIncidents).push_back(line);
    platform::FileSystem& files = services.platform.files;
    const std::string path = state.DataDir + incidentLogFile(log);
    std::vector<std::string> lines;
    if (!files.exists(path)) {
        lines.emplace_back(log == IncidentLog::PowerUp ? kWolLogHeader : kShutdownLogHeader);
    }
    lines.push_back(line);
    try {
        appendTextLines(files, path, lines);
    } catch (const FileError& error) {
        services.console.appendLine(error.what());
    }
}

}  // namespace vt
