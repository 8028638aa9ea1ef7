#pragma once

// The two incident logs: their files and header lines.

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

}  // namespace vt
