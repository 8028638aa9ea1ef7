#pragma once

// The service's console: each line to standard error with the date and time before it, so
// that the system's journal keeps what the program's console window would have shown.

#include <iosfwd>
#include <string_view>

#include "core/services.h"

namespace vt::service {

class JournalConsole : public Console {
public:
    explicit JournalConsole(std::ostream& out) : m_out(out) {}
    // The clock the lines are dated by, once the process has chosen it; the system's until then.
    void setClock(const Clock* clock) { m_clock = clock; }
    void setSystem(const platform::System* system) { m_system = system; }
    void appendLine(std::string_view text) override;

private:
    std::ostream& m_out;
    const Clock* m_clock = nullptr;
    const platform::System* m_system = nullptr;
};

// A status text has no place without a window.
class NoStatus : public StatusSink {
public:
    void setStatus(std::string_view) override {}
};

}  // namespace vt::service
