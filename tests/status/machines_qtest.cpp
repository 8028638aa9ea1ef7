// The machine status window and the machine sheet in the whole program, built in a program
// folder whose groups hold loopback names: the pings run vt_echo through the real vt_cmd,
// and only this machine's loopback answers them.

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QtTest>

#include "dialogs/answerable_dialog.h"
#include "dialogs/dialog_answers.h"
#include "discovery/background_jobs.h"
#include "mainwindow/application.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/main.h"
#include "mainwindow/uConsole.h"
#include "status/fiche_machine.h"
#include "status/machines.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;

namespace {

// Longer than a host name may be: the ping tool refuses to look it up and reports no answer,
// without a query leaving the machine.
const std::string kSilentMachine(254, 'S');

}  // namespace

class MachinesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    vt::TEtatMachine& etat() { return m_app->machineStatus(); }
    vt::VtlVar& state() { return m_app->state(); }
    QStringList consoleLines() {
        return vt::test::textLines(m_app->console().Memo1()->toPlainText());
    }
    bool ledIs(int row, const QPixmap& picture) {
        return etat().led(row)->pixmap().toImage() == picture.toImage();
    }

    void start(const std::vector<std::string>& machines) {
        m_folder->writeLines("SALLE-A", machines);
        m_app = std::make_unique<vt::Application>(m_folder->options(true));
        m_app->show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->mainWindow()));
    }

    // The LED of SALLE-A's row, as the user opens the window.
    void openFromTheLed() {
        vt::test::clickCentre(m_app->mainWindow().rows().led(0));
        QVERIFY(QTest::qWaitForWindowActive(&etat()));
    }

private slots:
    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
        QVERIFY(m_folder->linkTool("vt_echo"));
        m_folder->writeLines("localGM", {"SALLE-A"});
        m_folder->writeLines("liste.ip", {"LOCALHOST 127.0.0.1"});
        m_folder->writeLines("liste.mac", {"LOCALHOST 00-11-22-33-44-55"});
        m_folder->writeLines("vtl.ini", {"ip=127.0.0.255", "masque=255.255.255.0"});
    }

    void cleanup() {
        vt::AnswerableDialog::setOpeningHook({});
        m_app.reset();
        m_folder.reset();
        vt::DialogAnswers::reset();
    }

    void threeMachinesGiveThreeRowsWhoseLedsTheirPingsColour() {
        start({"LOCALHOST", "127.0.0.1*", kSilentMachine});
        QCOMPARE(etat().windowTitle(), QString("Information postes"));
        openFromTheLed();
        QCOMPARE(etat().windowTitle(), QString("Salle SALLE-A"));
        QCOMPARE(etat().rowCount(), 3);
        QCOMPARE(etat().size(), QSize(219, 154));
        // Placed from the main window's corner, 350 right and 40 down.
        QCOMPARE(etat().geometry().topLeft(),
                 m_app->mainWindow().geometry().topLeft() + QPoint(350, 40));
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(etat().led(row)->geometry(), QRect(22, row * 22 + 37, 17, 17));
            QCOMPARE(etat().nameLabel(row)->pos(), QPoint(60, row * 22 + 37));
        }
        QCOMPARE(etat().nameLabel(1)->text(), QString("127.0.0.1*"));
        QVERIFY(etat().TimerMachines()->isActive());
        QCOMPARE(etat().TimerMachines()->interval(), 50000);

        const vt::LedImages& leds = m_app->leds();
        QTRY_VERIFY_WITH_TIMEOUT(ledIs(0, leds.LedGreen), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(ledIs(1, leds.LedGreen), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(ledIs(2, leds.LedRed), 20000);
        const QStringList lines = consoleLines();
        QVERIFY(lines.contains("LOCALHOST répond au ping"));
        QVERIFY(lines.contains("127.0.0.1 répond au ping"));
        QVERIFY(lines.contains(QString::fromStdString(kSilentMachine) + " ne répond pas au ping"));
        QVERIFY(lines.contains("Lancement de ping 127.0.0.1..."));
        QTRY_COMPARE(m_app->mainWindow().jobs().inFlightCount(), std::size_t(0));
        QVERIFY(vt::test::unansweredDialogs().isEmpty());

        // Every 50 seconds the same machines are pinged again; the rows stay as they are.
        const auto launches = [this] { return consoleLines().filter("Lancement de ping").size(); };
        const qsizetype before = launches();
        etat().TimerMachinesTimer();
        QCOMPARE(launches(), before + 3);
        QCOMPARE(etat().rowCount(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->mainWindow().jobs().inFlightCount(), std::size_t(0),
                                  20000);
    }

    void aGroupOfMoreThan64MachinesShowsThemAll() {
        std::vector<std::string> machines;
        for (int i = 1; i <= 70; ++i) {
            machines.push_back("127.0.0." + std::to_string(i));
        }
        start(machines);
        openFromTheLed();
        QCOMPARE(etat().rowCount(), 70);
        QCOMPARE(etat().nameLabel(69)->text(), QString("127.0.0.70"));
        QCOMPARE(etat().nameLabel(69)->pos(), QPoint(60, 69 * 22 + 37));
        // 70 rows are higher than the screen: they scroll inside a window that fits on it.
        auto* scroll = etat().findChild<QScrollArea*>("rowScroll");
        QCOMPARE(scroll->widget()->height(), 70 * 22 + 88);
        QVERIFY(etat().frameGeometry().bottom() <= etat().screen()->availableGeometry().bottom());
        // 127.0.0.1 and 127.0.0.10 are told apart: every machine's own answer colours its row.
        const vt::LedImages& leds = m_app->leds();
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (int row = 0; row < 70; ++row) {
                    if (!ledIs(row, leds.LedGreen)) {
                        return false;
                    }
                }
                return true;
            }(),
            30000);
    }

    void anInactiveWindowLeavesItsFinishedJobsForLater() {
        start({"LOCALHOST", "127.0.0.2"});
        openFromTheLed();
        etat().FormDeactivate();
        QVERIFY(!etat().TimerMachines()->isActive());
        // The jobs end meanwhile, but are not read: their LEDs stay grey.
        QTest::qWait(1500);
        QCOMPARE(m_app->mainWindow().jobs().inFlightCount(), std::size_t(2));
        QVERIFY(ledIs(0, m_app->leds().LedGrey));
        QVERIFY(!consoleLines().contains("LOCALHOST répond au ping"));
        // Active again: new rows, new pings, and the earlier jobs are read too.
        etat().FormActivate();
        QTRY_VERIFY_WITH_TIMEOUT(ledIs(0, m_app->leds().LedGreen), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->mainWindow().jobs().inFlightCount(), std::size_t(0),
                                  20000);
        QCOMPARE(consoleLines().filter("LOCALHOST répond au ping").size(), 2);
    }

    void inventoryViewShowsEachMachinesOwnRecord() {
        m_folder->writeLines(
            "hardware.ocs",
            {"12;LOCALHOST-2008;LOCALHOST;COLLEGE;COLLEGE;Microsoft Windows XP Professional;5.1;;"
             "P4;2992;1;1024;2460;10.0.0.17;;2008-03-14 10:22:31;;0;12;didodev;",
             "13;127.0.0.10-2026;127.0.0.10;COLLEGE;COLLEGE;Microsoft Windows 10 Professionnel;"
             "10.0;;i5;3000;6;8192;1280;10.0.0.20;;2026-12-01 08:01:00;;0;40;eleve;",
             "14;LOCALHOST-2026;localhost;COLLEGE;COLLEGE;Microsoft Windows XP Professional;5.1;;"
             "i3;3900;2;4096;1280;10.0.0.18;;2026-11-30 09:00:00;;0;80;prof.martin;"});
        start({"127.0.0.1", "127.0.0.10", "LOCALHOST*"});
        openFromTheLed();
        QPushButton* button = etat().btn_ocs();
        QCOMPARE(button->geometry(), QRect(180, 6, 23, 20));
        QCOMPARE(button->text(), QString(">"));
        QVERIFY(button->font().bold());
        QVERIFY(!etat().findChild<QLabel*>("Label3")->isVisible());

        vt::test::clickCentre(button);
        QVERIFY(etat().inventoryView());
        QCOMPARE(etat().width(), 630);
        QCOMPARE(button->geometry(), QRect(595, 6, 23, 20));
        QCOMPARE(button->text(), QString("<"));
        for (const char* title : {"Label3", "Label4", "Label5", "Label6"}) {
            QVERIFY(etat().findChild<QLabel*>(title)->isVisible());
        }
        QCOMPARE(etat().findChild<QLabel*>("Label3")->text(), QString("Système d'exploitation"));
        // 127.0.0.1 has no record of its own: the record of 127.0.0.10 is not taken for it.
        QVERIFY(!etat().inventoryLabel(0, 0)->isVisible());
        QCOMPARE(etat().inventoryLabel(0, 0)->text(), QString());
        QCOMPARE(etat().inventoryLabel(1, 1)->text(), QString("10.0.0.20"));
        QCOMPARE(etat().inventoryLabel(1, 3)->geometry().topLeft(), QPoint(520, 59));
        // The marked line finds its machine's later record; the old system is shortened.
        QCOMPARE(etat().inventoryLabel(2, 0)->text(), QString("Windows XP Professional"));
        QCOMPARE(etat().inventoryLabel(2, 3)->text(), QString("prof.martin"));

        vt::test::clickCentre(button);
        QVERIFY(!etat().inventoryView());
        QCOMPARE(etat().width(), 219);
        QCOMPARE(button->geometry(), QRect(180, 6, 23, 20));
        QCOMPARE(button->text(), QString(">"));
        QVERIFY(!etat().inventoryLabel(1, 0)->isVisible());
        QVERIFY(!etat().findChild<QLabel*>("Label3")->isVisible());

        // The view is kept for the next filling.
        vt::test::clickCentre(button);
        etat().FormActivate();
        QVERIFY(etat().inventoryView());
        QCOMPARE(etat().inventoryLabel(1, 1)->text(), QString("10.0.0.20"));
    }

    // Group lines and inventory values come from files and from the client machines: markup
    // in them is shown as typed, in the window, the sheet and the tooltips alike.
    void markupInNamesAndInventoryValuesShowsAsTyped() {
        const QString font = "<font color=red size=6>PC99</font>";
        const QString image = "<img src=x>";
        m_folder->writeLines("hardware.ocs", {"12;x;LOCALHOST;C;C;" + image.toStdString() +
                                              ";5.1;;p;1;1;1;1;127.0.0.1;;2008;;0;12;" +
                                              font.toStdString() + std::string(80, 'x') + ";"});
        start({"LOCALHOST", font.toStdString()});
        openFromTheLed();
        vt::test::clickCentre(etat().btn_ocs());
        const QLabel* name = etat().nameLabel(1);
        const QLabel* system = etat().inventoryLabel(0, 0);
        const QLabel* user = etat().inventoryLabel(0, 3);
        for (const QLabel* label : {name, system, user}) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        QCOMPARE(name->text(), font);
        QCOMPARE(system->text(), image);
        // Cut at the label's edge, the whole value is in the tooltip, escaped as rich text.
        QVERIFY(user->toolTip().contains(font.toHtmlEscaped()));

        state().CurrentMachine = "LOCALHOST";
        vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
        m_app->machineSheet().exec();
        QCOMPARE(m_app->machineSheet().field("fiche_os")->textFormat(), Qt::PlainText);
        QCOMPARE(m_app->machineSheet().field("fiche_os")->text(), image);
    }

    // The view stays as it was, and a box says why; switching the view off asks nothing.
    void withoutTheHardwareExportTheViewButtonChangesNothingOnScreen() {
        start({"LOCALHOST"});
        openFromTheLed();
        const QString missing = "Pas d'inventaire : le fichier hardware.ocs n'existe pas.";
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});
        vt::test::clickCentre(etat().btn_ocs());
        QVERIFY(etat().inventoryView());
        QCOMPARE(etat().width(), 219);
        QCOMPARE(etat().btn_ocs()->text(), QString(">"));
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
        QCOMPARE(vt::DialogAnswers::asked().front().text, missing);
        QVERIFY(consoleLines().contains(missing));
        vt::test::clickCentre(etat().btn_ocs());
        QVERIFY(!etat().inventoryView());
        QCOMPARE(etat().width(), 219);
        QCOMPARE(etat().btn_ocs()->text(), QString(">"));
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
    }

    // "Autres" is the last row: its LED is hidden, but a click that reaches it opens the window
    // empty, without the rows of the group shown before.
    void theLedOfAutresOpensTheWindowEmpty() {
        start({"LOCALHOST", "127.0.0.2"});
        openFromTheLed();
        QCOMPARE(etat().rowCount(), 2);
        m_app->mainWindow().ledClick(1);
        QCOMPARE(state().CurrentGroup, std::string("Autres"));
        QVERIFY(etat().isVisible());
        QCOMPARE(etat().rowCount(), 0);
        QCOMPARE(etat().height(), 88);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->mainWindow().jobs().inFlightCount(), std::size_t(0),
                                  20000);
    }

    void aNameOpensItsSheetAndItsLabelOutlivesTheRowsRebuiltMeanwhile() {
        m_folder->writeLines("softwares.ocs", {"1;12;Mozilla;Mozilla Firefox;3.0;"});
        m_folder->writeLines("hardware.ocs",
                             {"12;x;LOCALHOST;C;C;Microsoft Windows XP Professional;5.1;;p;1;1;1;"
                              "1;127.0.0.1;;2008-03-14 10:22:31;;0;12;didodev;"});
        start({"127.0.0.2", "LOCALHOST*"});
        openFromTheLed();
        QPointer<QLabel> clicked = etat().nameLabel(1);
        bool clickedLabelAlive = false;
        vt::AnswerableDialog::setOpeningHook([&](QDialog& dialog) {
            QVERIFY(qobject_cast<vt::TficheMachine*>(&dialog) != nullptr);
            // The sheet takes the activation from the status window, and gives it back when
            // it closes: the rows are rebuilt while the click is still being handled.
            etat().FormDeactivate();
            etat().FormActivate();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            clickedLabelAlive = !clicked.isNull();
        });
        vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
        vt::test::clickCentre(clicked);
        QVERIFY(clickedLabelAlive);
        QCOMPARE(QString::fromStdString(state().CurrentMachine), QString("LOCALHOST*"));
        QCOMPARE(vt::DialogAnswers::asked().back().caption, QString("fiche Machine"));
        QTRY_VERIFY(clicked.isNull());
        QCOMPARE(etat().rowCount(), 2);

        vt::TficheMachine& sheet = m_app->machineSheet();
        QCOMPARE(sheet.field("fiche_nom")->text(), QString("LOCALHOST*"));
        QCOMPARE(sheet.field("fiche_ip")->text(), QString("127.0.0.1"));
        QCOMPARE(sheet.field("fiche_mac")->text(), QString("00-11-22-33-44-55"));
        QCOMPARE(sheet.field("fiche_os")->text(), QString("Microsoft Windows XP Professional"));
        QCOMPARE(sheet.field("fiche_inventaire")->text(), QString("2008-03-14 10:22:31"));
        QCOMPARE(sheet.field("fiche_userid")->text(), QString("didodev"));
        QCOMPARE(sheet.field("fiche_model")->text(), QString());
        QCOMPARE(sheet.field("fiche_ram")->text(), QString());
        QCOMPARE(sheet.fiche_logiciels()->toPlainText(), QString("Mozilla Firefox"));
    }

    void theCatchAllGroupAndAMissingGroupFileShowNoRows() {
        start({"LOCALHOST"});
        state().CurrentGroup = "Autres";
        etat().FormActivate();
        QCOMPARE(etat().windowTitle(), QString("Information postes"));
        QCOMPARE(etat().rowCount(), 0);
        QVERIFY(!etat().TimerMachines()->isActive());

        // A group whose file went: said on the console and in a box that does not wait, once.
        QVERIFY(std::remove(m_folder->path("SALLE-A").c_str()) == 0);
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});
        openFromTheLed();
        QCOMPARE(etat().rowCount(), 0);
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
        QVERIFY(vt::DialogAnswers::asked().front().text.contains("SALLE-A"));
        etat().FormDeactivate();
        etat().FormActivate();
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
        QCOMPARE(consoleLines().filter(vt::DialogAnswers::asked().front().text).size(), 1);
    }
};

QTEST_MAIN(MachinesTest)
#include "machines_qtest.moc"
