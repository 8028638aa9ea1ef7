#pragma once

// The program's implementations of the services that the behaviour is given.

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "qt/qt_timers.h"

class QStatusBar;

namespace vt {

class TConsole;

// Console lines go to the console window's log. Lines written before the window exists
// (during the main window's creation) are kept and appended when it is attached.
class QtConsole : public Console {
public:
    void appendLine(std::string_view text) override;
    void attach(TConsole* console);

private:
    QPointer<TConsole> m_console;
    std::vector<std::string> m_early;
};

// Status texts go to a status bar, which repaints at once. The last text given before a bar
// is attached is shown when it is.
class QtStatusSink : public StatusSink {
public:
    void setStatus(std::string_view text) override;
    void attach(QStatusBar* bar);

private:
    QPointer<QStatusBar> m_bar;
    std::optional<std::string> m_pending;
};

}  // namespace vt
