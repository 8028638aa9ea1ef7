#pragma once

// The discovery window "Scan du reseau": the choice of one of the five methods, the CSV file,
// the router's password, and a status bar where the methods, their background jobs and their
// downloads write their progress, also once the window is closed. What the methods do is in
// discovery/net_scan.h.

#include <QDialog>

#include <functional>
#include <memory>

#include "core/VtlVar.h"
#include "core/services.h"
#include "discovery/background_jobs.h"
#include "discovery/net_scan.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace vt {

class QtHttpClient;

class TNetScan : public QDialog {
    Q_OBJECT

public:
    // Created once at start, hidden; the jobs belong to the main window's engine.
    TNetScan(VtlVar& state, const Services& services, discovery::BackgroundJobs& jobs,
             QWidget* parent = nullptr);
    ~TNetScan() override;

    discovery::NetScan& logic() { return *m_logic; }
    QStatusBar* Status() const { return m_status; }

    // The modal showing of "Scan": takes a preset answer (dialog_answers.h) without showing,
    // or shows the window until "Fermer".
    int exec() override;

    // For window tests: called at every opening before the answer is asked, so that a test can
    // press the window's buttons. The running program never sets it.
    static void setOpeningHook(std::function<void(TNetScan&)> hook);

    // The selected method, -1 when none is.
    int methodIndex() const;
    void setMethodIndex(int index);

    void FormCreate();
    void BitBtn1Click();
    void Button1Click();

private:
    void buildControls();

    VtlVar& m_state;
    Services m_services;
    std::unique_ptr<QtHttpClient> m_http;
    std::unique_ptr<QtHttpClient> m_http2;
    std::unique_ptr<discovery::NetScan> m_logic;

    QGroupBox* m_methode = nullptr;
    QButtonGroup* m_methodButtons = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QLineEdit* m_iprpwd = nullptr;
    QStatusBar* m_status = nullptr;
};

}  // namespace vt
