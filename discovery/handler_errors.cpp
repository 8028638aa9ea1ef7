#include "discovery/handler_errors.h"

#include "core/file_error.h"

namespace vt::discovery {

void runReportingErrors(Console& console, const ErrorReport& report,
                        const std::function<void()>& handler) {
    try {
        handler();
    } catch (const FileError& error) {
        console.appendLine(error.what());
        if (report) {
            report(error.what());
        }
    }
}

}  // namespace vt::discovery
