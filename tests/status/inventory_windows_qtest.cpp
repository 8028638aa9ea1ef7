// The inventory as the windows show it, end to end: a private MariaDB server holds an
// inventory database, the export tools run as programs in the program folder, and the status
// window's inventory view and the machine sheet show what they exported. With
// VT_SCREENSHOT_DIR set, pictures of both views of the status window and of the sheet are
// written there.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/answerable_dialog.h"
#include "dialogs/dialog_answers.h"
#include "mainwindow/application.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/main.h"
#include "status/fiche_machine.h"
#include "status/machines.h"
#include "tests/support/private_mariadb.h"
#include "tests/support/program_run.h"
#include "tests/support/qt/program_folder.h"

namespace {

// A room of five machines, named so that their pings stay on the loopback. 127.0.0.1 is the
// room's teacher machine, whose name is a piece of 127.0.0.10's: each shows its own record.
constexpr const char* kInventory = R"(
CREATE DATABASE ocsweb CHARACTER SET utf8mb4;
USE ocsweb;
CREATE TABLE hardware (
  ID INT NOT NULL PRIMARY KEY, DEVICEID VARCHAR(255), NAME VARCHAR(255), WORKGROUP VARCHAR(255),
  USERDOMAIN VARCHAR(255), OSNAME VARCHAR(255), OSVERSION VARCHAR(255), OSCOMMENTS VARCHAR(255),
  PROCESSORT VARCHAR(255), PROCESSORS INT, PROCESSORN SMALLINT, MEMORY INT, SWAP INT,
  IPADDR VARCHAR(255), ETIME DATETIME, LASTDATE DATETIME, LASTCOME DATETIME, QUALITY INT,
  FIDELITY BIGINT, USERID VARCHAR(255), TYPE VARCHAR(255), DESCRIPTION VARCHAR(255));
INSERT INTO hardware VALUES
 (21, 'LOCALHOST-2008-03-14', 'LOCALHOST', 'COLLEGE', 'COLLEGE',
  'Microsoft Windows XP Professional', '5.1.2600', 'Service Pack 3', 'Pentium 4', 2992, 1, 1024,
  2460, '10.0.0.16', NULL, '2008-03-14 10:22:31', '2008-03-14 10:22:31', 0, 12, 'didodev',
  'Desktop', NULL),
 (22, '127.0.0.10-2026-12-01', '127.0.0.10', 'COLLEGE', 'COLLEGE',
  'Microsoft Windows 10 Professionnel', '10.0.19045', '', 'Core i5-8500', 3000, 6, 8192, 1280,
  '10.0.0.20', NULL, '2026-12-01 08:01:00', '2026-12-07 16:40:12', 0, 40, 'eleve', 'Desktop',
  NULL),
 (23, '127.0.0.2-2026-12-05', '127.0.0.2', 'COLLÈGE', 'COLLEGE',
  'Microsoft Windows 11 Éducation', '10.0.22631', NULL, 'Ryzen 5 5600G', 3900, 6, 16384, 2048,
  '10.0.0.52', NULL, '2026-12-05 11:30:00', '2026-12-08 08:15:00', 0, 3, 'mme.lefèvre',
  'Portable', 'Chariot; salle 12'),
 (24, 'LOCALHOST-2026-11-30', 'localhost', 'COLLEGE', 'COLLEGE',
  'Microsoft Windows 10 Professionnel', '10.0.19045', '', 'Core i3-7100', 3900, 2, 4096, 1280,
  '10.0.0.17', NULL, '2026-11-30 09:00:00', '2026-12-07 15:10:00', 0, 80, 'prof.martin',
  'Desktop', NULL);
CREATE TABLE softwares (
  ID INT NOT NULL PRIMARY KEY, HARDWARE_ID INT NOT NULL, PUBLISHER VARCHAR(255),
  NAME VARCHAR(255), VERSION VARCHAR(255)) CHARACTER SET latin1;
INSERT INTO softwares VALUES
 (201, 21, 'Mozilla', 'Mozilla Firefox', '3.0.7'),
 (202, 24, 'The Document Foundation', 'LibreOffice 24.2', '24.2'),
 (203, 24, 'Mozilla', 'Mozilla Firefox (x64 fr)', '133.0'),
 (204, 22, 'GeoGebra', 'GeoGebra Classic', '6.0'),
 (205, 24, 'Hatier', 'Atlas; édition collège', NULL),
 (206, 240, 'Adobe', 'Adobe Reader 9', '9.0');
CREATE USER 'ocs'@'%' IDENTIFIED BY 'ocs-secret';
GRANT SELECT ON ocsweb.* TO 'ocs'@'%';
)";

QStringList rowTexts(vt::TEtatMachine& window, int row) {
    QStringList texts;
    for (int column = 0; column < 4; ++column) {
        texts << window.inventoryLabel(row, column)->text();
    }
    return texts;
}

}  // namespace

class InventoryWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        vt::AnswerableDialog::setOpeningHook({});
        vt::DialogAnswers::reset();
    }

    void theExportsOfTheInventoryDatabaseAreWhatTheWindowsShow() {
        if (const auto missing = vt::test::PrivateMariaDb::missingPrograms()) {
            QSKIP(
                qPrintable("no MariaDB server here (missing: " + QString::fromStdString(*missing) +
                           "); scripts/install-deps.sh installs mariadb-server"));
        }
        vt::test::PrivateMariaDb server;
        std::string why;
        QVERIFY2(server.start(why), why.c_str());
        const vt::test::ProgramResult loaded = server.sql(kInventory);
        QVERIFY2(loaded.exitCode == 0, loaded.standardError.c_str());

        vt::test::requireDialogAnswers();
        vt::test::ProgramFolder folder;
        QVERIFY(folder.isValid());
        QVERIFY(folder.linkTool("vt_echo"));
        folder.writeLines("localGM", {"SALLE-INFO"});
        folder.writeLines("SALLE-INFO",
                          {"LOCALHOST", "127.0.0.1*", "127.0.0.2", "127.0.0.3", "127.0.0.10"});
        folder.writeLines("liste.ip", {"LOCALHOST 127.0.0.1", "127.0.0.10 127.0.0.10"});
        folder.writeLines("liste.mac",
                          {"127.0.0.10 00-1A-2B-3C-4D-10", "LOCALHOST 00-1A-2B-3C-4D-01"});
        folder.writeLines("vtl.ini", {"ip=127.0.0.255", "masque=255.255.255.0",
                                      "ocs_server=" + server.tcpAddress(), "ocs_login=ocs",
                                      "ocs_pwd=ocs-secret"});
        vt::Application app(folder.options(true));
        app.show();
        QVERIFY(QTest::qWaitForWindowExposed(&app.mainWindow()));

        // The tools as the scheduler starts them: from the program folder, with the inventory
        // preferences as their arguments.
        const vt::Preferences& prefs = app.state().Prefs;
        for (const char* tool : {"vt_ocs_hardware", "vt_ocs_softwares"}) {
            const vt::test::ProgramResult exported =
                vt::test::runProgram({std::string(VT_BIN_DIR "/") + tool, prefs.ocs_server,
                                      prefs.ocs_login, prefs.ocs_pwd},
                                     std::chrono::seconds(30));
            QVERIFY2(exported.exitCode == 0, exported.standardError.c_str());
        }
        QVERIFY(folder.readBytes("hardware.ocs").has_value());

        const QString target = vt::test::screenshotFolder(folder);
        vt::TEtatMachine& window = app.machineStatus();
        vt::test::clickCentre(app.mainWindow().rows().led(0));
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.rowCount(), 5);
        for (int row = 0; row < 5; ++row) {
            QTRY_VERIFY_WITH_TIMEOUT(
                window.led(row)->pixmap().toImage() == app.leds().LedGreen.toImage(), 20000);
        }
        QVERIFY(window.grab().save(target + "/status-window.png"));

        vt::test::clickCentre(window.btn_ocs());
        QCOMPARE(window.width(), 630);
        QCOMPARE(rowTexts(window, 0),
                 (QStringList{"Microsoft Windows 10 Professionnel", "10.0.0.17",
                              "2026-11-30 09:00:00", "prof.martin"}));
        // 127.0.0.1 has no record: the one of 127.0.0.10 is not its.
        QCOMPARE(rowTexts(window, 1), (QStringList{"", "", "", ""}));
        QCOMPARE(rowTexts(window, 2), (QStringList{"Microsoft Windows 11 Éducation", "10.0.0.52",
                                                   "2026-12-05 11:30:00", "mme.lefèvre"}));
        QCOMPARE(rowTexts(window, 3), (QStringList{"", "", "", ""}));
        QCOMPARE(rowTexts(window, 4).at(0), QString("Microsoft Windows 10 Professionnel"));
        QVERIFY(window.grab().save(target + "/status-window-inventory.png"));

        // The sheet of the first machine, shown for its picture while the click is handled.
        QPixmap sheetPicture;
        vt::AnswerableDialog::setOpeningHook([&](QDialog& dialog) {
            dialog.show();
            if (QTest::qWaitForWindowExposed(&dialog)) {
                sheetPicture = dialog.grab();
            }
            dialog.hide();
        });
        vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
        vt::test::clickCentre(window.nameLabel(0));
        vt::TficheMachine& sheet = app.machineSheet();
        QCOMPARE(sheet.field("fiche_nom")->text(), QString("LOCALHOST"));
        QCOMPARE(sheet.field("fiche_ip")->text(), QString("127.0.0.1"));
        QCOMPARE(sheet.field("fiche_mac")->text(), QString("00-1A-2B-3C-4D-01"));
        QCOMPARE(sheet.field("fiche_os")->text(), QString("Microsoft Windows 10 Professionnel"));
        QCOMPARE(sheet.field("fiche_inventaire")->text(), QString("2026-11-30 09:00:00"));
        QCOMPARE(sheet.field("fiche_userid")->text(), QString("prof.martin"));
        QCOMPARE(sheet.fiche_logiciels()->toPlainText(),
                 QString("LibreOffice 24.2\nMozilla Firefox (x64 fr)\nAtlas, édition collège"));
        QVERIFY(!sheetPicture.isNull());
        QCOMPARE(sheetPicture.size(), QSize(787, 500));
        QVERIFY(sheetPicture.save(target + "/machine-sheet.png"));
        QVERIFY(vt::test::unansweredDialogs().isEmpty());
    }
};

QTEST_MAIN(InventoryWindowsTest)
#include "inventory_windows_qtest.moc"
