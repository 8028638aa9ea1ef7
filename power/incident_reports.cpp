#include "power/incident_reports.h"

#include "core/address_lists.h"
#include "core/incident_logs.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::power {

namespace {

// The field before the first ";" and at most 255 characters after it. Without a ";" the
// field is empty and the text stays whole for the next one, so that a damaged line still
// shows all of its text in the report.
std::string takeField(std::string& rest) {
    const SplitResult split = splitAtFirst(rest, ";");
    if (!split.found) {
        rest = atMost255(rest);
        return std::string();
    }
    rest = atMost255(split.after);
    return split.before;
}

std::vector<std::string> reportLines(const char* title, std::size_t ruleLength,
                                     const std::vector<std::string>& log) {
    std::vector<std::string> lines{title, std::string(ruleLength, '='), std::string()};
    for (std::size_t i = 1; i < log.size(); ++i) {
        lines.push_back(reportLine(log[i]));
    }
    return lines;
}

// A field of the machine list, its quotes doubled so that it stays one field.
std::string quoted(std::string_view text) {
    std::string field = "\"";
    for (const char c : text) {
        field.push_back(c);
        if (c == '"') {
            field.push_back('"');
        }
    }
    field.push_back('"');
    return field;
}

// The file is on disk all the same: the console says where, since no window shows it.
void sayNothingOpened(const Services& services, const std::string& path) {
    services.console.appendLine(kNothingOpenedMessage + path);
}

// The log's file, as current as can be: another process may have added incidents. A file
// that cannot be read is written again from memory, so that the viewer has one to open.
std::vector<std::string> logForReport(const VtlVar& state, const Services& services,
                                      IncidentLog log) {
    const std::string path = state.DataDir + incidentLogFile(log);
    if (auto lines = readTextLines(services.platform.files, path)) {
        return std::move(*lines);
    }
    const std::vector<std::string>& lines = incidentsInMemory(state, log);
    saveTextLines(services.platform.files, path, lines);
    return lines;
}

bool showReport(const VtlVar& state, const Services& services,
                const std::vector<std::string>& report) {
    const std::string path = state.DataDir + kReportFile;
    saveTextLines(services.platform.files, path, report);
    if (!services.platform.processes.openDocument(kTextViewer, path)) {
        sayNothingOpened(services, path);
        return false;
    }
    return true;
}

}  // namespace

void openInSpreadsheet(const Services& services, const std::string& path) {
    platform::Processes& processes = services.platform.processes;
    if (!processes.openDocument(kSpreadsheet, path) && !processes.openDocument(kTextViewer, path)) {
        sayNothingOpened(services, path);
    }
}

std::string reportLine(std::string_view incident) {
    std::string rest(incident);
    const std::string date = takeField(rest);
    const std::string time = takeField(rest);
    const std::string machine = takeField(rest);
    const std::string error = takeField(rest);
    return "le " + date + " à " + time + " l'ordinateur " + machine + " " + error + ". " +
           " Cause : " + rest;
}

std::vector<std::string> wolReportLines(const std::vector<std::string>& log) {
    return reportLines(kWolReportTitle, kWolReportRuleLength, log);
}

std::vector<std::string> shutdownReportLines(const std::vector<std::string>& log) {
    return reportLines(kShutdownReportTitle, kShutdownReportRuleLength, log);
}

std::vector<std::string> machineListLines(const VtlVar& state, const platform::FileSystem& files) {
    std::vector<std::string> lines{quoted("  Machine  ") + ";" + quoted("     Adresse MAC     ") +
                                   ";" + quoted("     Adresse IP    ")};
    const GroupLineAddresses addresses(state);
    for (const std::string& group : state.GroupList) {
        // Every line is listed, an empty one too: it names no machine, so it has no address.
        // A marked line keeps its mark.
        for (const std::string& machine : LoadGroupMachines(files, group)) {
            lines.push_back(quoted(machine) + ";" + quoted(addresses.mac(machine)) + ";" +
                            quoted(addresses.ip(machine)));
        }
    }
    return lines;
}

bool showWolReport(const VtlVar& state, const Services& services) {
    return showReport(state, services,
                      wolReportLines(logForReport(state, services, IncidentLog::PowerUp)));
}

bool showShutdownReport(const VtlVar& state, const Services& services) {
    return showReport(state, services,
                      shutdownReportLines(logForReport(state, services, IncidentLog::Shutdown)));
}

void exportWolIncidents(const VtlVar& state, const Services& services) {
    logForReport(state, services, IncidentLog::PowerUp);
    openInSpreadsheet(services, state.DataDir + kWolLogFile);
}

void exportShutdownIncidents(const VtlVar& state, const Services& services) {
    logForReport(state, services, IncidentLog::Shutdown);
    openInSpreadsheet(services, state.DataDir + kShutdownLogFile);
}

void exportMachineList(VtlVar& state, const Services& services) {
    // The cache tool may have taught the lists addresses since they were last read.
    refreshAddressLists(state, services.platform.files);
    const std::vector<std::string> lines = machineListLines(state, services.platform.files);
    const std::string path = state.DataDir + kMachineListFile;
    saveTextLines(services.platform.files, path, lines);
    openInSpreadsheet(services, path);
}

}  // namespace vt::power
