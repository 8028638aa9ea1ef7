// The consumption window after a simulated week of history, for one room and for all: its
// table, its chart and its export. With VT_SCREENSHOT_DIR set, pictures of both are written
// there.

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "core/VtlVar.h"
#include "energy/consumption_history.h"
#include "energy/consumption_window.h"
#include "platform/native_platform.h"
#include "tests/support/fakes.h"
#include "tests/support/qt/program_folder.h"

using vt::energy::ObservationSource;

class ConsumptionWindowTest : public QObject {
    Q_OBJECT

private:
    vt::test::ProgramFolder m_folder;
    std::unique_ptr<vt::platform::NativePlatform> m_native;
    std::unique_ptr<vt::platform::Platform> m_platform;
    vt::test::RecordingProcesses m_processes;
    vt::test::RecordingConsole m_console;
    vt::test::RecordingStatus m_status;
    vt::test::ManualTimers m_timers;
    vt::test::ManualClock m_clock;
    vt::VtlVar m_state;

    vt::Services services() {
        return vt::Services{*m_platform, m_console, m_status, m_timers, m_clock};
    }
    void at(int day, int hour, int minute) {
        m_clock.setDate(2026, day < 30 ? 12 : 11, day);
        m_clock.set(hour, minute);
    }

    // SALLE1 follows its timetable (on at 7:45, off at 18:00, checked at 18:07), but on Friday
    // PC04 refuses the shutdown and stays on over the weekend. In SALLE2, which has no
    // timetable, the pupils switch the machines on, PC21 is switched off in the evening and
    // PC22 is never.
    void simulateWeek() {
        vt::energy::ConsumptionHistory service(m_state, services());
        vt::energy::ConsumptionHistory window(m_state, services());
        const auto all = [](bool on) {
            return std::vector<vt::energy::MachineState>{
                {"PC01", on}, {"PC02", on}, {"PC03", on}, {"PC04", on}};
        };
        for (const int day : {30, 1, 2, 3, 4, 7, 8}) {
            at(day, 7, 45);
            service.observe("SALLE1", all(true), ObservationSource::PowerOn);
            at(day, 8, 30);
            window.observe("SALLE2", {{"PC21", true}, {"PC22", true}}, ObservationSource::Ping);
            if (day == 8) {
                break;
            }
            at(day, 17, 30);
            window.observe("SALLE2", {{"PC21", false}, {"PC22", true}}, ObservationSource::Ping);
            at(day, 18, 0);
            service.observe("SALLE1", all(false), ObservationSource::Shutdown);
            at(day, 18, 7);
            service.observe("SALLE1", "PC04", day == 4, ObservationSource::Check);
        }
        at(8, 12, 0);
    }

    QStringList row(QTableWidget* table, int index) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            cells << table->item(index, column)->text();
        }
        return cells;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        vt::platform::PlatformConfig config;
        config.driveCRoot = m_folder.driveC();
        m_native = vt::platform::createNativePlatform(config);
        vt::platform::Platform& real = m_native->platform();
        m_platform = std::make_unique<vt::platform::Platform>(
            vt::platform::Platform{real.files, m_processes, real.network, real.system});
        m_state.DataDir = m_folder.programDir();
        m_state.Prefs.puissance_poste = 80;
        m_state.Prefs.prix_kwh = 0.2;
        simulateWeek();
    }

    void oneRoomAndAllShowTheirDaysAndExportThem() {
        QWidget parent;
        vt::ConsumptionWindow* window =
            vt::openConsumptionWindow(&parent, m_state, services(), std::string("SALLE1"));
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTableWidget* table = window->table();
        // Today first, until noon: four machines on since 7:45.
        QCOMPARE(row(table, 0),
                 (QStringList{"08/12/2026", "17,00", "1,36", "0,27", "0,00", "0,00", "0,00"}));
        // Monday: PC04, left on since Friday, until the timetable's shutdown; every machine's
        // evening saved.
        QCOMPARE(row(table, 1),
                 (QStringList{"07/12/2026", "48,75", "3,90", "0,78", "24,00", "1,92", "0,38"}));
        QCOMPARE(window->findChild<QLabel*>("LblResume")->text(),
                 QString("Sur les 30 derniers jours : 324,6 h allumées, 26,0 kWh, 5,19 € ; "
                         "économisé par les arrêts programmés : 138,1 h, 11,0 kWh, 2,21 €"));

        // Monday's bars: used and saved kWh.
        const QList<QBarSet*> sets =
            static_cast<QBarSeries*>(window->chart()->chart()->series().front())->barSets();
        QCOMPARE(sets[0]->at(28), 3.9);
        QCOMPARE(sets[1]->at(28), 1.92);
        QVERIFY(
            window->grab().save(vt::test::screenshotFolder(m_folder) + "/consumption-group.png"));

        window->findChild<QPushButton*>("BtnExport")->click();
        const std::vector<std::string> csv = m_folder.readLines("consommation-SALLE1.csv");
        QCOMPARE(csv.size(), std::size_t(32));
        QCOMPARE(csv.front(), std::string("Date;Heures allumées;kWh;Coût (€);Heures économisées;"
                                          "kWh économisés;Économie (€);"));
        QCOMPARE(csv[29], std::string("07/12/2026;48,75;3,90;0,78;24,00;1,92;0,38;"));
        QCOMPARE(csv.back(), std::string("Total;324,63;25,97;5,19;138,12;11,05;2,21;"));
        QCOMPARE(m_processes.opened.back(),
                 "scalc.exe|" + m_folder.programDir() + "consommation-SALLE1.csv");
        window->close();

        window = vt::openConsumptionWindow(&parent, m_state, services(), std::nullopt);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // Monday: SALLE1's 48.75 hours and SALLE2's PC21 from 8:30 to 17:30 and PC22 all day.
        QCOMPARE(row(window->table(), 1),
                 (QStringList{"07/12/2026", "81,75", "6,54", "1,31", "24,00", "1,92", "0,38"}));
        QVERIFY(window->grab().save(vt::test::screenshotFolder(m_folder) + "/consumption-all.png"));
        window->close();
    }
};

QTEST_MAIN(ConsumptionWindowTest)
#include "consumption_window_qtest.moc"
