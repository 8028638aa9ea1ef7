// The discovery window in a program built in-process: its controls and hint, the CSV file
// choice, the modal showing from "Scan", the status bar that outlives the showing, the IPR
// method against the local test server on the router's port, the MAC search after "Save", the
// LEDs of the ping refresh and the quiet tick. The batches run under a vt_cmd without the
// name-service adapters, so no job reaches the machine's network.

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

#include "dialogs/dialog_answers.h"
#include "discovery/scan.h"
#include "mainwindow/application.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/main.h"
#include "mainwindow/uConsole.h"
#include "qt/tooltip_timing.h"
#include "tests/support/fixture_files.h"
#include "tests/support/http_test_server.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;
using Lines = std::vector<std::string>;

namespace {

constexpr const char* kRouterPath = "/admin/ipr/cgi-bin/dhcp.cgi";

void click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

}  // namespace

class ScanTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    vt::TNetScan& scan() { return m_app->netScan(); }
    vt::VtlVar& state() { return m_app->state(); }
    template <typename T>
    T* child(const char* name) {
        return scan().findChild<T*>(name);
    }
    QStringList consoleLines() {
        return vt::test::textLines(m_app->console().Memo1()->toPlainText());
    }
    QString statusText() { return scan().Status()->currentMessage(); }
    void start() {
        m_app = std::make_unique<vt::Application>(m_folder->options(true));
        m_app->show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->mainWindow()));
    }
    void choose(int method) { scan().setMethodIndex(method); }
    // Presses "Lancer l'analyse" while the window is shown by "Scan", then closes it.
    void runFromScanButton() {
        vt::TNetScan::setOpeningHook(
            [](vt::TNetScan& window) { click(window.findChild<QPushButton*>("Button1")); });
        vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
        click(m_app->mainWindow().findChild<QPushButton*>("Button1"));
        vt::TNetScan::setOpeningHook(nullptr);
    }
    // The folder's files and the console do not hold the text.
    void verifyNowhere(const std::string& text) {
        for (const QString& name : m_folder->fileNames()) {
            const auto bytes = m_folder->readBytes(name.toStdString());
            QVERIFY2(!bytes || bytes->find(text) == std::string::npos, qPrintable(name));
        }
        QVERIFY(!m_app->console().Memo1()->toPlainText().contains(QString::fromStdString(text)));
    }

private slots:
    void initTestCase() { qputenv("no_proxy", "127.0.0.1,localhost"); }

    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
        m_folder->writeLines("localGM", {"SALLE1", "CDI"});
    }

    void cleanup() {
        m_app.reset();
        m_folder.reset();
    }

    void windowHoldsItsControlsAndTheHelpAsHint() {
        start();
        QCOMPARE(scan().windowTitle(), QString("Scan du reseau"));
        QVERIFY(!scan().isVisible());
        auto* methode = child<QGroupBox>("methode");
        QCOMPARE(methode->title(), QString("Méthode"));
        const QStringList items{"CSV", "IPR", "NET VIEW", "DHCP leases", "Détection passive"};
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(child<QRadioButton>(qPrintable(QString("methode%1").arg(i)))->text(),
                     items[i]);
        }
        QCOMPARE(scan().methodIndex(), 0);
        QVERIFY(
            methode->toolTip().startsWith("* méthode CSV : fournir un csv au format "
                                          "\"machine ; ip ; mac\"\n\n* méthode IPR"));
        QVERIFY(methode->toolTip().endsWith("caches réseau\n\n"));
        QCOMPARE(vt::toolTipHideDelay(), std::chrono::milliseconds(20000));
        QCOMPARE(child<QLabel>("Label1")->text(), QString("Fichier CSV"));
        QCOMPARE(child<QLabel>("Label2")->text(), QString("Mot de passe admin pour IPR :"));
        QVERIFY(child<QLineEdit>("edit1")->text().isEmpty());
        QCOMPARE(child<QLineEdit>("iprpwd")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QPushButton>("BitBtn1")->text(), QString("Parcourir"));
        QCOMPARE(child<QPushButton>("Button1")->text(), QString("Lancer l'analyse"));
        QCOMPARE(child<QPushButton>("BitBtn2")->text(), QString("Fermer"));
        QVERIFY(statusText().isEmpty());
        scan().setMethodIndex(-1);
        QCOMPARE(scan().methodIndex(), -1);
    }

    void browseReplacesTheFileOnlyWhenConfirmed() {
        start();
        vt::DialogAnswers::preset({QDialog::Accepted, QString("/srv/export.csv")});
        click(child<QPushButton>("BitBtn1"));
        QCOMPARE(child<QLineEdit>("edit1")->text(), QString("/srv/export.csv"));
        vt::DialogAnswers::preset({QDialog::Rejected, QString("/tmp/other.csv")});
        click(child<QPushButton>("BitBtn1"));
        QCOMPARE(child<QLineEdit>("edit1")->text(), QString("/srv/export.csv"));
        QCOMPARE(vt::DialogAnswers::asked().front().caption, QString("Ouvrir"));
    }

    void scanShowsTheWindowAndItsStatusOutlivesIt() {
        m_folder->writeLines("Autres", {"CDI-01", "PC9"});
        m_folder->writeLines("CDI", {"CDI-01"});
        start();
        choose(vt::discovery::kLeasesMethod);
        runFromScanButton();
        QCOMPARE(vt::DialogAnswers::asked().front().caption, QString("Scan du reseau"));
        QCOMPARE(m_folder->readLines("Autres"), Lines{"PC9"});
        QCOMPARE(statusText(), QString("Terminé! vous pouvez cliquez sur \"Fermer\" "));
        // A job's progress still shows in the closed window's bar.
        scan().logic().CleanAutres();
        QCOMPARE(statusText(), QString("Nettoyage de CDIveuillez patienter... "));
    }

    void routerMethodFilesThePageMachinesAndItsLists_data() {
        QTest::addColumn<QString>("page");
        QTest::newRow("table") << "http/ipr-dhcp.html";
        QTest::newRow("no table") << "http/ipr-no-table.html";
    }
    void routerMethodFilesThePageMachinesAndItsLists() {
        QFETCH(QString, page);
        // The router's own port: the URL names none.
        vt::test::HttpTestServer router("127.0.0.1", 4008);
        if (!router.valid()) {
            QSKIP("port 4008 du bouclage occupé : le serveur de test du routeur ne peut s'y lier");
        }
        router.requireCredentials("root", "Mot2Passe");
        router.requireUserAgent("JEDI-VCL");
        router.serve(kRouterPath, vt::test::fixtureBytes(page.toStdString()));
        m_folder->writeLines(
            "vtl.ini", {"ipr_url=http://127.0.0.1/admin/ipr/cgi-bin/dhcp.cgi", "ipr_login=root"});
        m_folder->writeLines("liste.ip", {"PC20 10.0.0.20"});
        m_folder->writeLines("Autres", {"OLD"});
        start();
        choose(vt::discovery::kIprMethod);
        child<QLineEdit>("iprpwd")->setText("Mot2Passe");
        click(child<QPushButton>("Button1"));
        QCOMPARE(statusText(), QString("Terminé! vous pouvez cliquez sur \"Fermer\" "));

        const bool table = page == "http/ipr-dhcp.html";
        const QString end = table ? "Analyse de IPR terminée" : "Echec de lecture IPR!";
        QTRY_VERIFY_WITH_TIMEOUT(consoleLines().contains(end), 10000);
        QCOMPARE(router.requests().size(), std::size_t{1});
        QCOMPARE(router.requests().front().status, 200);
        if (table) {
            QCOMPARE(m_folder->readLines("liste.ip"),
                     (Lines{"PC20 10.0.0.20", "salle1-05 192.168.1.21", "CDI-01 192.168.1.22"}));
            QCOMPARE(m_folder->readLines("liste.mac"),
                     (Lines{"PC20 00:11:22:33:44:55", "salle1-05 00:11:22:33:44:66",
                            "CDI-01 00-11-22-33-44-77"}));
            QCOMPARE(m_folder->readLines("SALLE1"), Lines{"SALLE1-05"});
            QCOMPARE(m_folder->readLines("CDI"), Lines{"CDI-01"});
            QCOMPARE(m_folder->readLines("Autres"), (Lines{"OLD", "PC20"}));
            QCOMPARE(statusText(), QString("Analyse de IPR terminée"));
        } else {
            QCOMPARE(m_folder->readLines("liste.ip"), Lines{"PC20 10.0.0.20"});
            QCOMPARE(m_folder->readLines("liste.mac"), Lines{});
            QCOMPARE(m_folder->readLines("Autres"), Lines{"OLD"});
            QCOMPARE(statusText(), QString("Lecture des données d'IPR..."));
        }
        m_app->finish();
        verifyNowhere("Mot2Passe");
    }

    void saveAsksForTheSavedMachinesAddresses() {
        m_folder->writeLines("SALLE1", {});
        m_folder->writeLines("Autres", {"PC02", "PC09"});
        m_folder->writeLines("liste.mac", {"PC01 00-11-22-33-44-01"});
        start();
        m_app->mainWindow().GMClick(0);
        m_app->mainWindow().findChild<QPlainTextEdit*>("Memo")->setPlainText("pc01\npc02*\npc03");
        click(m_app->mainWindow().findChild<QPushButton*>("BtnSave"));
        QCOMPARE(m_folder->readLines("SALLE1"), (Lines{"PC01", "PC02*", "PC03"}));
        QCOMPARE(m_folder->readLines("Autres"), Lines{"PC09"});
        // The marked machine is asked for under its name; jobs 0 and 1 are the start's refresh.
        QCOMPARE(state().JobCounter, std::uint16_t{4});
        QCOMPARE(m_folder->readLines("../drive_c/nbtstat2.bat").front(),
                 std::string("nbtstat -a PC02 >c:\\nbtstat2.txt"));
        QCOMPARE(m_folder->readLines("../drive_c/nbtstat3.bat").front(),
                 std::string("nbtstat -a PC03 >c:\\nbtstat3.txt"));
        QCOMPARE(statusText(), QString("Nettoyage de CDIveuillez patienter... "));
    }

    void theStartsPingRefreshLightsTheRows() {
        start();
        // The LEDs do not wait for the first quiet tick: the start pings every room.
        QCOMPARE(state().JobCounter, std::uint16_t{2});
        // The ping tool's results, as it writes them when its batch ends.
        m_folder->writeLines("../drive_c/ping0.txt", {"SALLE1-01=0", "SALLE1-02=1"});
        m_folder->writeLines("../drive_c/ping1.txt", {"CDI-01=0"});
        for (const char* marker : {"0.mark", "1.mark"}) {
            m_app->platform().files.setReadOnly(std::string("c:\\") + marker, false);
        }
        vt::GroupRows& rows = m_app->mainWindow().rows();
        const QImage green = m_app->leds().LedGreen.toImage();
        const QImage red = m_app->leds().LedRed.toImage();
        QTRY_COMPARE_WITH_TIMEOUT(rows.led(0)->pixmap().toImage(), green, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(rows.led(1)->pixmap().toImage(), red, 5000);
        QVERIFY(consoleLines().contains("For SALLE1 SALLE1-02=1"));
    }

    void quietTickRefreshesAndSaysWhichProgramIsMissing() {
        start();
        m_app->mainWindow().Timer1Timer();
        QCOMPARE(state().TickCount, 1);
        QCOMPARE(state().JobCounter, std::uint16_t{4});
        QVERIFY(consoleLines().contains(QString::fromStdString(
            "programme absent, non lancé : " + m_folder->programDir() + "vt_ocs_hardware.exe")));
    }
};

QTEST_MAIN(ScanTest)
#include "scan_qtest.moc"
