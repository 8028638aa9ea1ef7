#pragma once

// Handlers that timers, background jobs and downloads run have no user action to stop: a file
// error they meet goes to the console and to the window's box that does not wait, and the
// program goes on.

#include <functional>
#include <string>

#include "core/services.h"

namespace vt::discovery {

// Shows an error met outside a user action; the program's is a box that does not wait.
using ErrorReport = std::function<void(const std::string& message)>;

// Runs the handler; a FileError it throws becomes a console line and is passed to `report`
// (when set).
void runReportingErrors(Console& console, const ErrorReport& report,
                        const std::function<void()>& handler);

}  // namespace vt::discovery
