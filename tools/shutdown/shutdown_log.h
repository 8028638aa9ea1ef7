#pragma once

// "shutdown.log" in the working directory: one line per machine, "date;time;machine;result;"
// in Windows-1252 with CR LF like the system's other logs. Several vt_shutdown may append at
// once: each line goes in one write under an exclusive lock.

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vt::shutdown {

inline constexpr const char* kShutdownLogFile = "shutdown.log";

std::string shutdownLogLine(const platform::System& system, std::string_view machine,
                            std::string_view result);

// Appends the line; false, with the reason in French, when the log cannot be written.
bool appendToShutdownLog(const std::string& line, std::string& error);

}  // namespace vt::shutdown
