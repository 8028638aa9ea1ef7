// Pictures of the main window, the console and the discovery window, taken offscreen. With
// VT_SCREENSHOT_DIR set they are written there (docs/screenshots of the repository); otherwise into
// the test's temporary folder, which checks only that they can be taken.

#include <QPlainTextEdit>
#include <QStatusBar>
#include <QtTest>

#include "dialogs/uapropos.h"
#include "discovery/scan.h"
#include "mainwindow/application.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/main.h"
#include "mainwindow/uConsole.h"
#include "tests/support/qt/program_folder.h"

class ScreenshotsTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowAndConsole() {
        vt::test::requireDialogAnswers();
        vt::test::ProgramFolder folder;
        QVERIFY(folder.isValid());
        folder.writeLines("vtl.ini",
                          {"pdc=\\\\SRV-PDC", "ip=192.168.1.255", "masque=255.255.255.0"});
        folder.writeLines("localGM", {"SALLE-101", "SALLE-102"});
        folder.writeLines("SALLE-101", {"PC101-01", "PC101-02", "PC101-03", "PC101-04*"});
        folder.writeLines("SALLE-102", {"PC102-01"});
        folder.writeLines("settings.ini",
                          {"SALLE-101", "7:45+Tous-60", "18:00+Tous", "Rez-de-chaussée", "NA",
                           "SALLE-102", "8:00+Tous", "17:30+Tous", "", "NA"});
        vt::Application app(folder.options());
        app.show();
        app.console().appendLine(
            "commande lancée : wolcmd 001122334455 192.168.1.255 "
            "255.255.255.0 7");
        QVERIFY(QTest::qWaitForWindowExposed(&app.mainWindow()));
        app.mainWindow().GMClick(0);
        QVERIFY(QTest::qWaitForWindowExposed(&app.console()));

        const QString target = vt::test::screenshotFolder(folder);
        const QPixmap main = app.mainWindow().grab();
        const QPixmap console = app.console().grab();
        QCOMPARE(main.size(), QSize(685, 698));
        QCOMPARE(console.size(), QSize(425, 310));
        QVERIFY(main.save(target + "/main-window.png"));
        QVERIFY(console.save(target + "/console.png"));
        // The about box, whose texts are drawn whole.
        vt::TAboutBox& about = app.aboutBox();
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(about.grab().save(target + "/about-box.png"));
        about.hide();
        // The log area is black with its pale yellow text, not the window's default colours.
        const QImage log = console.toImage();
        QCOMPARE(log.pixelColor(400, 250), QColor(Qt::black));
    }

    void discoveryWindowAndTheLedsOfAPingRefresh() {
        vt::test::requireDialogAnswers();
        vt::test::ProgramFolder folder;
        QVERIFY(folder.isValid());
        folder.writeLines("localGM", {"SALLE1", "SALLE2", "CDI"});
        folder.writeLines("SALLE1", {"SALLE1-01", "SALLE1-02"});
        vt::Application app(folder.options());
        app.show();
        QVERIFY(QTest::qWaitForWindowExposed(&app.mainWindow()));
        // What a refresh shows: machines on in SALLE1 and CDI, all off in SALLE2.
        vt::GroupRows& rows = app.mainWindow().rows();
        rows.setLed(0, app.leds().LedGreen);
        rows.setLed(1, app.leds().LedRed);
        rows.setLed(2, app.leds().LedGreen);
        app.mainWindow().GMClick(0);

        vt::TNetScan& scan = app.netScan();
        scan.setMethodIndex(vt::discovery::kNetViewMethod);
        scan.Status()->showMessage("Analyse de NET VIEW terminée");
        scan.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scan));

        const QString target = vt::test::screenshotFolder(folder);
        const QPixmap main = app.mainWindow().grab();
        const QPixmap discovery = scan.grab();
        QCOMPARE(discovery.size(), QSize(400, 214));
        QVERIFY(main.save(target + "/main-window-leds.png"));
        QVERIFY(discovery.save(target + "/discovery-window.png"));
        // The LEDs are drawn at their row's place: green, red, green.
        const QImage picture = main.toImage();
        const QPoint led = app.mainWindow().rowArea()->mapTo(&app.mainWindow(), QPoint(293, 42));
        QCOMPARE(picture.pixelColor(led), app.leds().LedGreen.toImage().pixelColor(8, 8));
        QCOMPARE(picture.pixelColor(led + QPoint(0, 24)),
                 app.leds().LedRed.toImage().pixelColor(8, 8));
        scan.hide();
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_qtest.moc"
