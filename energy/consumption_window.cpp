#include "energy/consumption_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

#include "core/file_error.h"
#include "dialogs/message_box.h"
#include "energy/consumption_report.h"
#include "qt/window_style.h"

namespace vt {

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString shortDate(std::chrono::local_days day) {
    const std::chrono::year_month_day ymd(day);
    return QString("%1/%2")
        .arg(unsigned(ymd.day()), 2, 10, QChar('0'))
        .arg(unsigned(ymd.month()), 2, 10, QChar('0'));
}

void setRow(QTableWidget* table, int row, const std::vector<std::string>& fields) {
    for (std::size_t column = 0; column < fields.size(); ++column) {
        auto* item = new QTableWidgetItem(text(fields[column]));
        item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                           : Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, static_cast<int>(column), item);
    }
}

}  // namespace

ConsumptionWindow::ConsumptionWindow(const VtlVar& state, const Services& services,
                                     std::optional<std::string> group, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_services(services), m_group(std::move(group)) {
    setObjectName("Consommation");
    setWindowTitle(text(energy::consumptionTitle(m_group)));
    setFont(designFont(8));
    resize(960, 760);

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(windowTitle(), this);
    title->setObjectName("LblTitre");
    title->setFont(designFont(11));
    layout->addWidget(title);
    m_summary = new QLabel(this);
    m_summary->setObjectName("LblResume");
    layout->addWidget(m_summary);

    m_chart = new QChartView(new QChart(), this);
    m_chart->setObjectName("Graphique");
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(280);
    layout->addWidget(m_chart, 3);

    const std::vector<std::string>& columns = energy::consumptionColumns();
    m_table = new QTableWidget(0, static_cast<int>(columns.size()), this);
    m_table->setObjectName("Tableau");
    QStringList headers;
    for (const std::string& column : columns) {
        headers << text(column);
    }
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setDefaultSectionSize(20);
    layout->addWidget(m_table, 4);

    m_explanation = new QLabel(this);
    m_explanation->setObjectName("LblEstimation");
    m_explanation->setWordWrap(true);
    layout->addWidget(m_explanation);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    auto* exportButton = new QPushButton("Exporter en CSV", this);
    exportButton->setObjectName("BtnExport");
    auto* close = new QPushButton("Fermer", this);
    close->setObjectName("BtnFermer");
    buttons->addWidget(exportButton);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(exportButton, &QPushButton::clicked, this, &ConsumptionWindow::BtnExportClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    refresh();
}

void ConsumptionWindow::refresh() {
    const energy::EnergyRates rates = energy::ratesOf(m_state.Prefs);
    m_days = energy::estimateFromHistory(m_state, m_services, m_group);
    m_explanation->setText(text(energy::estimateExplanation(rates)));
    m_summary->setText(text(energy::consumptionSummary(m_days, rates)));

    // The most recent day first, the total last.
    m_table->setRowCount(static_cast<int>(m_days.size()) + 1);
    int row = 0;
    for (auto day = m_days.rbegin(); day != m_days.rend(); ++day) {
        setRow(m_table, row++, energy::consumptionRow(*day, rates));
    }
    std::vector<std::string> total = energy::consumptionRow(energy::totalOf(m_days), rates);
    total.front() = "Total";
    setRow(m_table, row, total);
    QFont bold = m_table->font();
    bold.setBold(true);
    for (int column = 0; column < m_table->columnCount(); ++column) {
        m_table->item(row, column)->setFont(bold);
    }
    showChart(rates);
}

void ConsumptionWindow::showChart(const energy::EnergyRates& rates) {
    auto* used = new QBarSet("kWh consommés");
    auto* saved = new QBarSet("kWh économisés");
    used->setColor(QColor(0xD9, 0x5F, 0x0E));
    saved->setColor(QColor(0x31, 0xA3, 0x54));
    QStringList days;
    double highest = 0;
    for (const energy::DayConsumption& day : m_days) {
        const double usedKwh = rates.kilowattHours(day.hoursOn);
        const double savedKwh = rates.kilowattHours(day.hoursSaved);
        *used << usedKwh;
        *saved << savedKwh;
        highest = std::max({highest, usedKwh, savedKwh});
        days << shortDate(day.day);
    }
    auto* series = new QBarSeries();
    series->append(used);
    series->append(saved);

    auto* chart = new QChart();
    chart->addSeries(series);
    auto* dayAxis = new QBarCategoryAxis();
    dayAxis->append(days);
    dayAxis->setLabelsAngle(-90);
    chart->addAxis(dayAxis, Qt::AlignBottom);
    series->attachAxis(dayAxis);
    auto* kwhAxis = new QValueAxis();
    kwhAxis->setTitleText("kWh");
    kwhAxis->setRange(0, highest > 0 ? highest * 1.1 : 1.0);
    kwhAxis->applyNiceNumbers();
    kwhAxis->setLabelFormat("%.1f");
    chart->addAxis(kwhAxis, Qt::AlignLeft);
    series->attachAxis(kwhAxis);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QChart* previous = m_chart->chart();
    m_chart->setChart(chart);
    delete previous;
}

void ConsumptionWindow::BtnExportClick() {
    try {
        energy::exportConsumption(m_state, m_services, m_group, m_days);
    } catch (const FileError& error) {
        showFileError(this, QString::fromUtf8(error.what()));
    }
}

ConsumptionWindow* openConsumptionWindow(QWidget* parent, const VtlVar& state,
                                         const Services& services,
                                         std::optional<std::string> group) {
    auto* window = new ConsumptionWindow(state, services, std::move(group), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace vt
