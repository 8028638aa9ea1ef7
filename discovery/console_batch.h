#pragma once

// The console lines of one bulk run of a discovery method. A router page of a hundred
// thousand leases gives four lines a lease; the console keeps its last ten thousand lines
// only, and laying out each line on its own kept the window frozen for half a minute. The
// batch passes its first lines on in one piece when the run ends, then one line that counts
// the others.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/services.h"

namespace vt::discovery {

class ConsoleBatch : public Console {
public:
    // Messages of a run shown at most: a few hundred machines in detail.
    static constexpr std::size_t kShownMessages = 2000;

    explicit ConsoleBatch(Console& console);
    ConsoleBatch(const ConsoleBatch&) = delete;
    ConsoleBatch& operator=(const ConsoleBatch&) = delete;
    // Passes on what is still kept, as a run that a file error ended has it.
    ~ConsoleBatch() override;

    void appendLine(std::string_view text) override;
    // Passes on the messages kept and the count of the others; messages that follow go
    // straight on.
    void flush();

private:
    Console& m_console;
    std::string m_kept;  // the messages, each ending with CR LF
    std::size_t m_keptMessages = 0;
    std::size_t m_leftOut = 0;
    bool m_flushed = false;
};

}  // namespace vt::discovery
