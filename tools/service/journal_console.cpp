#include "tools/service/journal_console.h"

#include <ostream>

#include "core/text_file.h"

namespace vt::service {

void JournalConsole::appendLine(std::string_view text) {
    std::string stamp;
    if (m_system != nullptr) {
        const platform::LocalDateTime now = m_clock != nullptr ? m_clock->now() : m_system->now();
        stamp = m_system->shortDate(now) + " " + m_system->longTime(now) + " ";
    }
    // A text holding line breaks is as many journal lines, each dated.
    for (const std::string& line : splitLines(text)) {
        m_out << stamp << line << '\n';
    }
    m_out.flush();
}

}  // namespace vt::service
