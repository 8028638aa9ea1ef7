#pragma once

// The two incident logs: their files, header lines and the texts of their incidents.

#include <string>
#include <string_view>

#include "core/VtlVar.h"
#include "core/services.h"

namespace vt {

inline constexpr const char* kWolLogFile = "wol.followup";
inline constexpr const char* kShutdownLogFile = "shutdown.followup";

// 115 characters.
inline constexpr const char* kWolLogHeader =
    "     Date     ;    Heure    ;   Ordinateur   ;         Erreur constatée         ;"
    "              Cause              ;";
// 114 characters: one blank less before "Cause".
inline constexpr const char* kShutdownLogHeader =
    "     Date     ;    Heure    ;   Ordinateur   ;         Erreur constatée         ;"
    "             Cause              ;";

inline constexpr const char* kNotStartedError = "ne s'est pas mis en marche";
inline constexpr const char* kNotStoppedError = "ne s'est pas arrêté";
inline constexpr const char* kNoMacCause = "adresse MAC inconnue";
inline constexpr const char* kUnknownCause = "raison inconnue";

// An incident as the logs hold it: the date and time of now in the system's short date and
// long time formats, the machine, the error and the cause, each followed by ";". One format
// for every writer, since the reports cut the lines at ";" only.
std::string incidentLine(const Services& services, std::string_view machine, std::string_view error,
                         std::string_view cause);

enum class IncidentLog { PowerUp, Shutdown };

// Adds the incident to the log in memory and at once to the end of its file in the data
// directory (with the header when the file is missing), in one write that another process's
// append never cuts: a process that dies loses none of the incidents it found. A file that
// cannot be written costs a console line; the incident stays in memory.
void logIncident(VtlVar& state, const Services& services, IncidentLog log, const std::string& line);

const char* incidentLogFile(IncidentLog log);
// The lines this process read at its start and logged since.
const std::vector<std::string>& incidentsInMemory(const VtlVar& state, IncidentLog log);

}  // namespace vt
