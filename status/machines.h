#pragma once

// The machine status window "Information postes": one row per machine of a group, a LED that
// its ping turns green or red, and an inventory view that widens the window with the
// operating system, address, last inventory and user from "hardware.ocs". Clicking a name
// opens the machine's sheet. While the window is active every machine is pinged again every
// 50 seconds.

#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "energy/consumption_history.h"
#include "status/inventory_exports.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;

namespace vt {

namespace discovery {
class BackgroundJobs;
class JobPoll;
}  // namespace discovery

struct LedImages;
class TficheMachine;

class TEtatMachine : public QWidget {
    Q_OBJECT

public:
    TEtatMachine(VtlVar& state, const Services& services, const LedImages& leds,
                 discovery::BackgroundJobs& jobs, status::InventoryExports& exports,
                 QWidget* parent = nullptr);
    ~TEtatMachine() override;

    // Where the main window's top-left corner is; each filling places this window from it.
    void setPlacement(std::function<QPoint()> mainWindowCorner);
    void setMachineSheet(TficheMachine* sheet);

    // A group's LED was clicked (CurrentGroup names it): the window shows and is made active,
    // which fills it. When it is active already it is filled again at once.
    void open();

    // Handlers, named after their control and event.
    void FormCreate();
    void FormActivate();
    void FormDeactivate();
    void TimerMachinesTimer();
    void ExecReadAlive(discovery::JobPoll& job);
    void HostClick(int row);
    void btn_ocsClick();
    void getOCSinfo();

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QLabel* led(int row) const { return m_rows.at(row).led; }
    QLabel* nameLabel(int row) const { return m_rows.at(row).name; }
    // The inventory labels of a row: 0 system, 1 address, 2 last inventory, 3 user.
    QLabel* inventoryLabel(int row, int column) const;
    bool inventoryView() const { return m_inventoryView; }
    QTimer* TimerMachines() const { return m_timer; }
    QPushButton* btn_ocs() const { return m_button; }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        std::string line;  // the group-file line, unchanged
        QLabel* led = nullptr;
        QLabel* name = nullptr;
        std::array<QLabel*, 4> inventory{};
        std::array<QWidget*, 6> controls() const;
    };

    void addRow(std::size_t index, const std::string& line);
    void launchPings(const std::vector<std::string>& lines);
    void releaseRows();
    void deleteReleasedControls();
    // Sizes the window to its content, scrolled when the rows do not fit on the screen.
    void fitToContent();
    void fitNameLabel(QLabel* name) const;
    void showInventoryTitles(bool shown);
    std::vector<std::string> rowLines() const;
    // A failure said on the console and in a box that does not wait; the same failure is not
    // said again until the window is opened anew, so that closing its box (which gives the
    // activation back to this window) does not bring it back at once.
    void reportFailure(const std::string& message);

    VtlVar& m_state;
    Services m_services;
    const LedImages& m_leds;
    discovery::BackgroundJobs& m_jobs;
    status::InventoryExports& m_exports;
    // Each machine's answer or silence goes to the consumption history.
    energy::ConsumptionHistory m_history;
    std::function<QPoint()> m_mainWindowCorner;
    TficheMachine* m_sheet = nullptr;

    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QPushButton* m_button = nullptr;
    std::array<QLabel*, 4> m_inventoryTitles{};
    QTimer* m_timer = nullptr;

    std::vector<Row> m_rows;
    bool m_inventoryView = false;
    // Rows released while a name's click was being handled: its label must outlive the
    // handler, so they go once it has returned.
    int m_clickDepth = 0;
    std::vector<QWidget*> m_released;
    std::string m_lastFailure;
    int m_contentWidth = 0;
    int m_contentHeight = 0;
};

}  // namespace vt
