#include "discovery/console_batch.h"

namespace vt::discovery {

ConsoleBatch::ConsoleBatch(Console& console) : m_console(console) {
}

ConsoleBatch::~ConsoleBatch() {
    flush();
}

void ConsoleBatch::appendLine(std::string_view text) {
    if (m_flushed) {
        m_console.appendLine(text);
    } else if (m_keptMessages < kShownMessages) {
        m_kept.append(text).append("\r\n");
        ++m_keptMessages;
    } else {
        ++m_leftOut;
    }
}

void ConsoleBatch::flush() {
    if (m_flushed) {
        return;
    }
    m_flushed = true;
    if (m_leftOut != 0) {
        m_kept += std::to_string(m_leftOut) + " message(s) de plus non affiché(s)\r\n";
    }
    if (!m_kept.empty()) {
        m_kept.resize(m_kept.size() - 2);  // the console ends the last line itself
        m_console.appendLine(m_kept);
    }
    m_kept.clear();
}

}  // namespace vt::discovery
