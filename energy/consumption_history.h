#pragma once

// The history of the machines' power states, "consommation.csv" in the data folder: one line
// per change of a machine's state as a ping, a check or a power action saw it,
// "date;heure;groupe;machine;état;source;". The window program and the service both append to
// it, each line in one locked write.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"

namespace vt::energy {

inline constexpr const char* kConsumptionFile = "consommation.csv";
inline constexpr const char* kOnWord = "allumé";
inline constexpr const char* kOffWord = "éteint";

// Who saw the state, as the "source" column names it.
enum class ObservationSource {
    Ping,            // "ping": the LED refresh of the main window
    StatusWindow,    // "état": the status window of a room
    Check,           // "contrôle": the check that follows a power action
    PowerOn,         // "allumage": the timetable's power-on
    Shutdown,        // "arrêt": the timetable's shutdown
    ManualPowerOn,   // "allumage manuel": the "on" button of a row
    ManualShutdown,  // "arrêt manuel": the "off" button of a row
};
std::string sourceWord(ObservationSource source);

struct Observation {
    std::chrono::local_seconds when;
    std::string group;
    std::string machine;
    bool on = false;
    std::string source;
};

std::chrono::local_seconds localSecondsOf(const platform::LocalDateTime& when);
// "08/12/2026;07:45:00;SALLE1;PC01;allumé;allumage;"
std::string historyLine(const Observation& observation);
// Nothing for a line that is not one of the history's (damaged, cut, edited by hand).
std::optional<Observation> parseHistoryLine(std::string_view line);
// Every readable line of a text, in order.
std::vector<Observation> parseHistory(std::string_view text);
// Every readable line of the file, in file order; empty when there is no file.
std::vector<Observation> readHistory(const platform::FileSystem& files, std::string_view path);

// A machine of a group and whether it answered.
using MachineState = std::pair<std::string, bool>;

// Writes a line only when a machine's state differs from its last known one. The states are
// learned from the file at the first observation and again whenever another writer (the other
// process, another recorder of this one) changed the file, so a restart writes nothing for the
// machines whose state did not change.
class ConsumptionHistory {
public:
    ConsumptionHistory(const VtlVar& state, const Services& services);

    // The machine's name is taken without the blanks around it nor the "never shut down" mark.
    // A file that cannot be written is said once on the console; the observation is lost.
    void observe(const std::string& group, const std::string& machine, bool on,
                 ObservationSource source);
    // Several machines of one group seen at once: their changes in one write.
    void observe(const std::string& group, const std::vector<MachineState>& machines,
                 ObservationSource source);

private:
    void learnIfChanged(const std::string& path);

    const VtlVar& m_state;
    Services m_services;
    // Upper-case "group\nmachine" -> on.
    std::map<std::string, bool> m_known;
    std::string m_learnedPath;
    std::optional<std::chrono::system_clock::time_point> m_learnedStamp;
    bool m_endsCut = false;
    bool m_failureSaid = false;
};

}  // namespace vt::energy
