#pragma once

// The console window: the program's running log.

#include <QWidget>

#include <string_view>

#include "core/VtlVar.h"

class QPlainTextEdit;

namespace vt {

class TConsole : public QWidget {
    Q_OBJECT

public:
    // The place of the window is kept in the preferences' "cleft", "ctop" and "cheight".
    explicit TConsole(Preferences& prefs, QWidget* parent = nullptr);

    // The log keeps its last lines only, each cut to a length the window can lay out at once:
    // the program runs all year, and a name of megabytes must not freeze it.
    static constexpr int kKeptLines = 10000;
    static constexpr int kLineLimit = 1000;

    // Appends one line; a text holding CR LF becomes two lines.
    void appendLine(std::string_view text);
    QPlainTextEdit* Memo1() const { return m_memo; }

    // Records the window's current place into the preferences, as the exit does.
    void FormDestroy();

    // Every showing puts the window back at its stored place.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();

    Preferences& m_prefs;
    QPlainTextEdit* m_memo = nullptr;
};

}  // namespace vt
