// The main window built in-process in a fresh program folder: start-up files, caption, fixed
// layout, menu, exit.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <fstream>

#include "core/incident_logs.h"
#include "core/start_up.h"
#include "dialogs/dialog_answers.h"
#include "dialogs/message_box.h"
#include "mainwindow/application.h"
#include "mainwindow/main.h"
#include "mainwindow/uConsole.h"
#include "power/timetable_runner.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;

namespace {

const QStringList kStartFiles = {
    "Autres",       "led-gris.bmp", "led-orange.bmp",    "led-rouge.bmp",
    "led-vert.bmp", "liste.ip",     "liste.ip.discover", "liste.mac",
    "liste.patch",  "settings.ini", "shutdown.followup", "vt_scheduler.lck",
    "vtl.ini",      "wol.followup"};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    vt::Application& start(bool local = false) {
        m_app = std::make_unique<vt::Application>(m_folder->options(local));
        return *m_app;
    }
    vt::TForm1& form() { return m_app->mainWindow(); }
    template <typename T>
    T* child(const char* name) {
        return form().findChild<T*>(name);
    }
    QStringList consoleLines() {
        return vt::test::textLines(m_app->console().Memo1()->toPlainText());
    }

private slots:
    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
    }

    void cleanup() {
        m_app.reset();
        m_folder.reset();
    }

    void firstStartInAnEmptyFolderCreatesTheStartFiles() {
        start();
        // "Autres" and the timetable come with the rows, when the window is first shown.
        QStringList beforeShowing = kStartFiles;
        beforeShowing.removeOne("Autres");
        beforeShowing.removeOne("settings.ini");
        QCOMPARE(m_folder->fileNames(), beforeShowing);
        for (const char* name : {"liste.mac", "liste.ip", "liste.patch", "liste.ip.discover"}) {
            QCOMPARE(m_folder->readBytes(name), std::optional<std::string>(""));
        }
        QCOMPARE(m_folder->readBytes("vtl.ini"), std::optional<std::string>(""));
        const std::string wol = *m_folder->readBytes("wol.followup");
        const std::string shutdown = *m_folder->readBytes("shutdown.followup");
        QCOMPARE(wol.size(), std::size_t{117});
        QCOMPARE(shutdown.size(), std::size_t{116});
        QVERIFY(wol.ends_with("\r\n") && shutdown.ends_with("\r\n"));
        QVERIFY(wol.find("constat\xE9"
                         "e") != std::string::npos);
        // "Autres" comes with the first showing, which loads the groups.
        m_app->show();
        QCOMPARE(m_app->state().GroupList, std::vector<std::string>{"Autres"});
        QCOMPARE(m_folder->fileNames(), kStartFiles);
        QVERIFY(vt::test::unansweredDialogs().isEmpty());
    }

    void existingListsAreKeptAsTheyAre() {
        m_folder->writeLines("liste.mac", {"PC1 00-11-22-33-44-55"});
        m_folder->writeLines("wol.followup", {"ancien"});
        start();
        QCOMPARE(m_app->state().MacList, std::vector<std::string>{"PC1 00-11-22-33-44-55"});
        QCOMPARE(m_app->state().WolIncidents, std::vector<std::string>{"ancien"});
        QCOMPARE(m_folder->readLines("wol.followup"), std::vector<std::string>{"ancien"});
    }

    void captionEndsWithTheWakeOnLanTarget_data() {
        QTest::addColumn<QStringList>("preferences");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mask");  // "*": the first local interface's
        QTest::newRow("address without mask") << QStringList{"ip=10.1.2.255"} << "10.1.2.255"
                                              << "*";
        QTest::newRow("address and mask")
            << QStringList{"masque=255.255.0.0", "ip=10.1.2.255"} << "10.1.2.255"
            << "255.255.0.0";
        QTest::newRow("empty address") << QStringList{"ip=", "masque=255.0.0.0"} << "*"
                                       << "255.0.0.0";
    }

    void captionEndsWithTheWakeOnLanTarget() {
        QFETCH(QStringList, preferences);
        QFETCH(QString, ip);
        QFETCH(QString, mask);
        std::vector<std::string> lines;
        for (const QString& line : preferences) {
            lines.push_back(line.toStdString());
        }
        m_folder->writeLines("vtl.ini", lines);
        start();
        const auto interfaces = m_app->platform().network.localInterfaces();
        if (ip == "*") {
            ip = interfaces.empty() ? "" : text(interfaces.front().address);
        }
        if (mask == "*") {
            mask = interfaces.empty() ? "" : text(interfaces.front().mask);
        }
        QCOMPARE(form().windowTitle(),
                 "Vantorel  - Gestion des alimentations en énergie du parc informatique " + ip +
                     " - " + mask);
    }

    void windowHasItsDesignPlaceAndFont() {
        start();
        QCOMPARE(form().geometry(), QRect(195, 71, 685, 698));
        QCOMPARE(form().font().family(), QString("MS Sans Serif"));
        QCOMPARE(form().font().pointSize(), 8);
    }

    void storedPlaceIsApplied() {
        m_folder->writeLines("vtl.ini", {"left=20", "top=30", "height=500"});
        start();
        QCOMPARE(form().geometry(), QRect(20, 30, 685, 500));
        QCOMPARE(child<QWidget>("Shape1")->height(), 410);
    }

    void extremePlacesInThePreferencesDoNotBreakTheStart() {
        m_folder->writeLines("vtl.ini", {"left=2147483647", "top=-2147483648", "height=$7FFFFFFF",
                                         "cleft=2147483647", "ctop=-2147483648", "cheight=-5"});
        start();
        m_app->show();
        QVERIFY(m_app->console().isVisible());
        form().close();
        QCOMPARE(m_folder->readLines("vtl.ini").size(), std::size_t{23});
    }

    void fixedControlsAreAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Bevel1") << "Bevel1" << QRect(0, 0, 430, 3) << "";
        QTest::newRow("StaticText1") << "StaticText1" << QRect(16, 16, 82, 17) << "Groupe machine";
        QTest::newRow("StaticText2") << "StaticText2" << QRect(136, 16, 26, 17) << "Arrêt";
        QTest::newRow("StaticText3") << "StaticText3" << QRect(185, 16, 40, 17) << "Marche";
        QTest::newRow("StaticText6") << "StaticText6" << QRect(224, 16, 37, 17) << "(durée)";
        QTest::newRow("Label1") << "Label1" << QRect(282, 16, 19, 13) << "Etat";
        QTest::newRow("StaticText5") << "StaticText5" << QRect(320, 16, 39, 17) << "Manuel";
        QTest::newRow("Shape1") << "Shape1" << QRect(424, 16, 225, 608) << "";
        QTest::newRow("StaticText4")
            << "StaticText4" << QRect(432, 24, 150, 17) << "Listes des machines du groupe";
        QTest::newRow("nomliste") << "nomliste" << QRect(584, 24, 57, 17) << "";
        QTest::newRow("Button1") << "Button1" << QRect(440, 48, 75, 25) << "Scan";
        QTest::newRow("BtnSave") << "BtnSave" << QRect(560, 48, 75, 25) << "Save";
        QTest::newRow("Memo") << "Memo" << QRect(432, 80, 209, 534) << "";
    }

    void fixedControlsAreAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QFETCH(QString, caption);
        start();
        m_app->show();
        QWidget* widget = child<QWidget>(name.toUtf8().constData());
        QVERIFY(widget != nullptr);
        // Places are those of the window's client area, below the menu.
        const QPoint place = widget->mapTo(form().centralWidget(), QPoint(0, 0));
        QCOMPARE(QRect(place, widget->size()), bounds);
        QVERIFY(widget->isVisible());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), caption);
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), caption);
        }
    }

    void panelNameIsBoldCentredAndReadable() {
        start();
        auto* name = child<QLabel>("nomliste");
        QVERIFY(name->font().bold());
        QCOMPARE(name->font().pointSize(), 10);
        QCOMPARE(name->alignment(), Qt::AlignCenter);
        // A white label with dark letters: white letters on the pale panel could not be read.
        QVERIFY(name->autoFillBackground());
        QCOMPARE(name->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(child<QPlainTextEdit>("Memo")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        auto* status = child<QStatusBar>("StatusMain");
        QCOMPARE(status->height(), 19);
        QVERIFY(status->currentMessage().isEmpty());
    }

    void resizingSetsThePanelHeights_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("memo");
        QTest::newRow("500") << 500 << 410 << 336;
        QTest::newRow("design") << 698 << 608 << 534;
        QTest::newRow("900") << 900 << 810 << 736;
    }

    void resizingSetsThePanelHeights() {
        QFETCH(int, height);
        QFETCH(int, shape);
        QFETCH(int, memo);
        start();
        m_app->show();
        form().resize(685, height);
        QTRY_COMPARE(child<QWidget>("Shape1")->height(), shape);
        QCOMPARE(child<QWidget>("Memo")->height(), memo);
    }

    void menuHasItsCaptionsAndOnlyWorkingItemsEnabled_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char* name, QStringList path, bool enabled) {
            QTest::newRow(name) << QString(name) << path << enabled;
        };
        row("Quitter1", {"Fichier", "Quitter"}, true);
        row("Prfrences1", {"Edition", "Préférences"}, true);
        row("ImporterlesgroupesESU1", {"Groupes machines", "Importer les groupes ESU"}, true);
        row("Dfinir1", {"Groupes machines", "Définir des groupes"}, true);
        row("Nejamaisteindre1", {"Groupes machines", "Ne jamais éteindre..."}, true);
        row("IncidentsWOL1", {"Rapports", "Incidents WOL"}, true);
        row("Incidentsshutdown1", {"Rapports", "Incidents shutdown"}, true);
        row("Console1", {"Rapports", "Console"}, true);
        row("Exporter1", {"Rapports", "Exporter"}, true);
        row("IncidentsWOLCSV1", {"Rapports", "Exporter", "Incidents WOL -> CSV"}, true);
        row("IncidentsshutdownCSV1", {"Rapports", "Exporter", "Incidents shutdown -> CSV"}, true);
        row("ListemachinesCSV1", {"Rapports", "Exporter", "Liste machines -> CSV"}, true);
        row("Apropos1", {"Aide", "A propos"}, true);
    }

    void menuHasItsCaptionsAndOnlyWorkingItemsEnabled() {
        QFETCH(QString, name);
        QFETCH(QStringList, path);
        QFETCH(bool, enabled);
        start();
        // Walk the captions from the menu bar down: the item must be found by its captions.
        QList<QAction*> actions = form().menuBar()->actions();
        QAction* found = nullptr;
        for (const QString& caption : path) {
            found = nullptr;
            for (QAction* action : actions) {
                if (action->text() == caption) {
                    found = action;
                }
            }
            QVERIFY2(found != nullptr, qPrintable(caption));
            if (found->menu() != nullptr) {
                actions = found->menu()->actions();
            }
        }
        QCOMPARE(found->objectName(), name);
        QCOMPARE(found->isEnabled(), enabled);
    }

    void menuBarHoldsTheFiveMenusInOrder() {
        start();
        QStringList captions;
        for (QAction* action : form().menuBar()->actions()) {
            captions << action->text();
        }
        QCOMPARE(captions,
                 (QStringList{"Fichier", "Edition", "Groupes machines", "Rapports", "Aide"}));
        QVERIFY(child<QPushButton>("Button1")->isEnabled());
        QVERIFY(child<QPushButton>("BtnSave")->isEnabled());
    }

    // The program alone on its folder runs the timetables from its creation on; a second one
    // on the same folder waits, and says who runs them in its title and console.
    void timersRunFromCreationAndOneProgramSchedules() {
        start();
        auto* exec = form().findChild<QTimer*>("TimerExec");
        QVERIFY(exec && exec->isActive());
        QCOMPARE(exec->interval(), 1000);
        QVERIFY(form().timetables().holdsTimetables());
        QVERIFY(!form().windowTitle().contains("Planification"));

        vt::Application second(m_folder->options());
        QVERIFY(!second.mainWindow().timetables().holdsTimetables());
        const QString waiting = QString("Planification assurée par Vantorel (pid %1)")
                                    .arg(QCoreApplication::applicationPid());
        QVERIFY(second.mainWindow().windowTitle().endsWith(" - " + waiting));
        second.mainWindow().Timer1Timer();
        QVERIFY(!second.mainWindow().timetables().holdsTimetables());
    }

    void rightPanelStaysInViewWhileRowsScroll() {
        start();
        m_app->show();
        for (int i = 0; i < 40; ++i) {
            auto* row = new QWidget(form().rowArea());
            row->setGeometry(16, i * 24 + 32, 100, 21);
        }
        form().fitRowArea();
        QScrollBar* bar = form().scrollArea()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        const int scrolled = bar->value();
        QVERIFY(scrolled > 0);
        QWidget* client = form().centralWidget();
        const std::pair<const char*, int> panel[] = {{"Shape1", 16},   {"Memo", 80},
                                                     {"nomliste", 24}, {"StaticText4", 24},
                                                     {"Button1", 48},  {"BtnSave", 48}};
        for (const auto& [name, top] : panel) {
            QCOMPARE(child<QWidget>(name)->mapTo(client, QPoint(0, 0)).y(), top);
        }
        QCOMPARE(child<QWidget>("StaticText1")->mapTo(client, QPoint(0, 0)).y(), 16 - scrolled);
    }

    void firstShowingGreetsAndOpensTheConsole_data() {
        QTest::addColumn<QString>("esu");
        QTest::addColumn<bool>("local");
        QTest::addColumn<QStringList>("greeting");
        const QString pdc = "Le PDC est : \\\\SRV-PDC";
        QTest::newRow("esu true") << "true" << false
                                  << QStringList{pdc, "Groupes machines ESU détectés"};
        QTest::newRow("esu false") << "false" << false << QStringList{pdc};
        QTest::newRow("esu in capitals") << "TRUE" << false << QStringList{pdc};
        QTest::newRow("esu with a blank") << "true " << false << QStringList{pdc};
        QTest::newRow("local wins over the file") << "true" << true << QStringList{pdc};
    }

    void firstShowingGreetsAndOpensTheConsole() {
        QFETCH(QString, esu);
        QFETCH(bool, local);
        QFETCH(QStringList, greeting);
        m_folder->writeLines("vtl.ini", {"pdc=\\\\SRV-PDC", "esu=" + esu.toStdString()});
        start(local);
        QVERIFY(!m_app->console().isVisible());
        m_app->show();
        QVERIFY(m_app->console().isVisible());
        // No group yet: the console says where to begin, and so does the empty panel.
        const QString hint = QString::fromUtf8(vt::kFirstStartHint);
        greeting << hint;
        QCOMPARE(consoleLines().mid(consoleLines().size() - greeting.size()), greeting);
        QCOMPARE(child<QPlainTextEdit>("Memo")->placeholderText(), hint);
        QCOMPARE(m_app->state().GroupList.back(), std::string("Autres"));
        QVERIFY(vt::test::unansweredDialogs().isEmpty());
    }

    void missingOrBrokenLedImageIsReportedAndTheStartGoesOn() {
        QVERIFY(QFile::remove(QString::fromStdString(m_folder->path("led-vert.bmp"))));
        m_folder->writeBytes(m_folder->path("led-gris.bmp"), "BM\x01\x02 not a picture");
        start();
        QStringList messages;
        for (const vt::AskedDialog& dialog : vt::DialogAnswers::asked()) {
            messages << dialog.caption + ": " + dialog.text;
        }
        QCOMPARE(messages, (QStringList{"Vantorel: Impossible d'ouvrir le fichier led-vert.bmp",
                                        "Vantorel: Impossible d'ouvrir le fichier led-gris.bmp"}));
        QVERIFY(m_app->leds().LedGreen.isNull());
        QVERIFY(m_app->leds().LedGrey.isNull());
        QCOMPARE(m_app->leds().LedRed.size(), QSize(17, 17));
        QCOMPARE(m_app->leds().LedOrange.size(), QSize(17, 17));
        QVERIFY(m_folder->readBytes("liste.mac").has_value());
        QVERIFY(form().windowTitle().startsWith("Vantorel  - Gestion"));
    }

    void ledImagesAreFoundWithoutRegardToCase() {
        const QString dir = QString::fromStdString(m_folder->programDir());
        QVERIFY(QFile::rename(dir + "led-rouge.bmp", dir + "LED-Rouge.BMP"));
        start();
        QVERIFY(vt::DialogAnswers::asked().empty());
        QCOMPARE(m_app->leds().LedRed.size(), QSize(17, 17));
    }

    void quitterWritesPreferencesAndCleansDriveC() {
        m_folder->writeLines("vtl.ini", {"esu=true", "pdc=\\\\PDC", "inconnu=1"});
        m_folder->writeBytes(m_folder->driveC() + "5.mark", "");
        m_folder->writeBytes(m_folder->driveC() + "ping5.txt", "PC1=1");
        m_folder->writeBytes(m_folder->driveC() + "notes.txt", "a moi");
        start(true);
        m_app->show();
        // An incident reaches its file when it is found; the exit leaves the logs alone.
        m_app->state().WolIncidents.push_back("06/12/2026;07:35:20;PC1;pas de réponse;x;");
        form().findChild<QAction*>("Quitter1")->trigger();
        QVERIFY(m_app->finished());
        QVERIFY(!form().isVisible() && !m_app->console().isVisible());
        std::vector<std::string> expected = {
            "pdc=\\\\PDC", "esu=false",       "datapath=",         "ip=",       "masque=",
            "left=195",    "top=71",          "height=698",        "cleft=880", "ctop=71",
            "cheight=310", "shutdown_wait=0", "shutdown_comment=", "offset=0",  "ocs_login=",
            "ocs_pwd=",    "ocs_server=",     "ipr_url=",          "ipr_login="};
        expected.insert(expected.end(), {"zone_vacances=", "pas_allumage_feries=0",
                                         "puissance_poste=60", "prix_kwh=0,25"});
        QCOMPARE(m_folder->readLines("vtl.ini"), expected);
        QCOMPARE(m_folder->readLines("wol.followup"), std::vector<std::string>{vt::kWolLogHeader});
        QCOMPARE(m_folder->readLines("shutdown.followup"),
                 std::vector<std::string>{vt::kShutdownLogHeader});
        QVERIFY(!QFile::exists(QString::fromStdString(m_folder->driveC() + "5.mark")));
        QVERIFY(!QFile::exists(QString::fromStdString(m_folder->driveC() + "ping5.txt")));
        QVERIFY(QFile::exists(QString::fromStdString(m_folder->driveC() + "notes.txt")));
    }

    void closingTheWindowEndsTheProgramOnce() {
        start();
        m_app->show();
        form().close();
        QVERIFY(m_app->finished());
        QVERIFY(QFile::remove(QString::fromStdString(m_folder->path("vtl.ini"))));
        m_app->finish();
        m_app.reset();
        QVERIFY(!QFile::exists(QString::fromStdString(m_folder->path("vtl.ini"))));
    }

    void terminationSignalsEndTheProgramAsQuitterDoes_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void terminationSignalsEndTheProgramAsQuitterDoes() {
        QFETCH(int, signal);
        start();
        m_app->show();
        m_app->console().setGeometry(300, 40, 425, 200);
        QVERIFY(std::raise(signal) == 0);
        QTRY_VERIFY(m_app->finished());
        const std::vector<std::string> lines = m_folder->readLines("vtl.ini");
        QCOMPARE(lines.size(), std::size_t{23});
        QCOMPARE(lines[8], std::string("cleft=300"));
        QCOMPARE(lines[9], std::string("ctop=40"));
        QCOMPARE(lines[10], std::string("cheight=200"));
    }

    // A scheduled group whose machine file is missing must not hold the scheduler up: its
    // error goes to the console and to a box that does not wait, and the next tick powers a
    // sound group up.
    void aFailingTickShowsItsErrorWithoutHoldingTheScheduler() {
        m_folder->writeLines("localGM", {"CASSE", "SAIN"});
        m_folder->writeLines("SAIN", {"PC1"});
        start();
        m_app->show();
        QFile::remove(QString::fromStdString(m_folder->path("CASSE")));
        vt::DialogAnswers::requireAnswers(false);
        const QTime now = QTime::currentTime().addSecs(-30);
        const QString due = QString("%1:%2").arg(now.hour()).arg(now.minute(), 2, 10, QChar('0'));
        m_app->state().Schedules[0].PowerOnTime = due.toStdString();
        bool held = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            held = true;
            vt::closeOpenDialogs();
        });
        guard.start(5000);
        form().Timer1Timer();
        QVERIFY(!held);
        QVERIFY(consoleLines().contains("Impossible d'ouvrir le fichier CASSE"));
        int boxes = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            boxes += box != nullptr && box->isVisible() && !box->isModal() &&
                     box->text() == "Impossible d'ouvrir le fichier CASSE";
        }
        QCOMPARE(boxes, 1);
        form().Timer1Timer();  // the same error is not shown twice while its box is open

        m_app->state().Schedules[0].PowerOnTime = "0:00";
        m_app->state().Schedules[1].PowerOnTime = due.toStdString();
        form().Timer1Timer();
        QVERIFY(QFile::exists(QString::fromStdString(m_folder->path("powerupSAIN.bat"))));
        vt::closeOpenDialogs();
    }

    void fileThatCannotBeWrittenAtExitIsReportedAndTheRestStillSaved() {
        start();
        m_app->show();
        QVERIFY(m_app->platform().files.setReadOnly(m_folder->path("vtl.ini"), true));
        m_folder->writeBytes(m_folder->driveC() + "7.mark", "");
        form().close();
        QStringList messages;
        for (const vt::AskedDialog& dialog : vt::DialogAnswers::asked()) {
            messages << dialog.text;
        }
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith("Impossible de créer le fichier") &&
                     messages[0].endsWith("vtl.ini"),
                 qPrintable(messages[0]));
        QCOMPARE(m_folder->readBytes("vtl.ini"), std::optional<std::string>(""));
        QVERIFY(!QFile::exists(QString::fromStdString(m_folder->driveC() + "7.mark")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_qtest.moc"
