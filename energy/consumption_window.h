#pragma once

// The window "Consommation électrique": for one group or for all, per day of the last 30, the
// hours on, kWh and cost, what the timetable's shutdowns saved, a bar chart of both, how the
// estimate is made, and an export to CSV opened in the spreadsheet.

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "energy/consumption_estimate.h"

class QChartView;
class QLabel;
class QTableWidget;

namespace vt {

class ConsumptionWindow : public QWidget {
    Q_OBJECT

public:
    ConsumptionWindow(const VtlVar& state, const Services& services,
                      std::optional<std::string> group, QWidget* parent = nullptr);

    // Estimates again from the history as it is now.
    void refresh();
    // "Exporter en CSV": a file that cannot be written is said in a box.
    void BtnExportClick();

    QTableWidget* table() const { return m_table; }
    QChartView* chart() const { return m_chart; }

private:
    void showChart(const energy::EnergyRates& rates);

    const VtlVar& m_state;
    Services m_services;
    std::optional<std::string> m_group;
    std::vector<energy::DayConsumption> m_days;
    QLabel* m_summary = nullptr;
    QLabel* m_explanation = nullptr;
    QChartView* m_chart = nullptr;
    QTableWidget* m_table = nullptr;
};

// Opens a new window for the group (all groups without one), deleted when closed.
ConsumptionWindow* openConsumptionWindow(QWidget* parent, const VtlVar& state,
                                         const Services& services,
                                         std::optional<std::string> group);

}  // namespace vt
