// The console window and the message window: their looks, the log, the stored place.

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "mainwindow/application.h"
#include "mainwindow/main.h"
#include "mainwindow/qt_services.h"
#include "mainwindow/uConsole.h"
#include "mainwindow/umessageinfo.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;

class ConsoleTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    vt::TConsole& startShown(const std::vector<std::string>& preferences) {
        if (!preferences.empty()) {
            m_folder->writeLines("vtl.ini", preferences);
        }
        m_app = std::make_unique<vt::Application>(m_folder->options());
        m_app->show();
        return m_app->console();
    }
    void toggle() { m_app->mainWindow().findChild<QAction*>("Console1")->trigger(); }

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

    void consoleHasItsDesignLooks() {
        vt::Preferences prefs;
        vt::TConsole console(prefs);
        QCOMPARE(console.windowTitle(), QString("Console"));
        QCOMPARE(console.geometry(), QRect(716, 6, 425, 308));
        QPlainTextEdit* memo = console.Memo1();
        QCOMPARE(memo->objectName(), QString("Memo1"));
        QVERIFY(memo->isReadOnly());
        QCOMPARE(memo->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(memo->palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0xE1));
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(memo->font().pointSize(), 8);
    }

    void logAreaFollowsTheWindowsSizeAndScrolls() {
        vt::Preferences prefs;
        prefs.cleft = 300;
        prefs.ctop = 40;
        prefs.cheight = 308;
        vt::TConsole console(prefs);
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        QPlainTextEdit* memo = console.Memo1();
        QCOMPARE(memo->geometry(), QRect(0, 0, 425, 308));
        console.resize(600, 450);
        QTRY_COMPARE(memo->geometry(), QRect(0, 0, 600, 450));
        // A day's lines are more than the window holds: the earlier ones are scrolled to.
        for (int i = 0; i < 200; ++i) {
            console.appendLine("Lancement de ping PC" + std::to_string(i) + "...");
        }
        QVERIFY(memo->verticalScrollBar()->isVisible());
        QVERIFY(memo->verticalScrollBar()->maximum() > 0);
    }

    void aLineIsAppendedAsItIs_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("plain") << QByteArray("Le PDC est : \\\\PDC")
                               << QStringList{"Le PDC est : \\\\PDC"};
        QTest::newRow("CR LF makes two lines") << QByteArray("Adresses MAC de PC1\r\n00-11")
                                               << QStringList{"Adresses MAC de PC1", "00-11"};
        QTest::newRow("empty") << QByteArray("") << QStringList{""};
        QTest::newRow("trailing CR LF") << QByteArray("fin\r\n") << QStringList{"fin", ""};
        QTest::newRow("accents") << QByteArray("détectés") << QStringList{"détectés"};
        QTest::newRow("bytes that are not UTF-8") << QByteArray(
                                                         "PC\xff\xfe"
                                                         "1")
                                                  << QStringList{QString::fromUtf8("PC\xff\xfe"
                                                                                   "1")};
    }

    void aLineIsAppendedAsItIs() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        vt::Preferences prefs;
        vt::TConsole console(prefs);
        console.appendLine("avant");
        console.appendLine(std::string_view(text.constData(), text.size()));
        QCOMPARE(vt::test::textLines(console.Memo1()->toPlainText()), QStringList{"avant"} + lines);
    }

    // A name of megabytes from a group list must not freeze the window's layout, and a log
    // that runs all year keeps its last lines only.
    void aHugeLineStaysOneLineCutToItsLimit() {
        vt::Preferences prefs;
        vt::TConsole console(prefs);
        const std::string huge(2'000'000, 'x');
        QElapsedTimer clock;
        clock.start();
        console.appendLine(huge);
        console.appendLine("suivante");
        QVERIFY(clock.elapsed() < 1000);
        const QStringList lines = vt::test::textLines(console.Memo1()->toPlainText());
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString(vt::TConsole::kLineLimit, 'x') + QStringLiteral("…"));
    }

    void theLogKeepsItsLastTenThousandLines() {
        vt::Preferences prefs;
        vt::TConsole console(prefs);
        for (int i = 0; i < vt::TConsole::kKeptLines + 500; ++i) {
            console.appendLine("ligne " + std::to_string(i));
        }
        const QStringList lines = vt::test::textLines(console.Memo1()->toPlainText());
        QCOMPARE(lines.size(), vt::TConsole::kKeptLines);
        QCOMPARE(lines.front(), QString("ligne 500"));
        QCOMPARE(lines.back(), QString("ligne %1").arg(vt::TConsole::kKeptLines + 499));
    }

    void linesWrittenBeforeTheConsoleExistsAreKept() {
        vt::QtConsole service;
        service.appendLine("un");
        service.appendLine("deux\r\ntrois");
        vt::Preferences prefs;
        vt::TConsole console(prefs);
        console.appendLine("déjà là");
        service.attach(&console);
        service.appendLine("quatre");
        QCOMPARE(vt::test::textLines(console.Memo1()->toPlainText()),
                 (QStringList{"déjà là", "un", "deux", "trois", "quatre"}));
    }

    void firstStartPutsTheConsoleAgainstTheMainWindow() {
        vt::TConsole& console = startShown({});
        QCOMPARE(console.geometry(), QRect(685 + 195, 71, 425, 310));
    }

    void placesSavedOnALargerScreenAreBroughtBackOntoThisOne_data() {
        QTest::addColumn<QStringList>("preferences");
        QTest::addColumn<QRect>("console");  // empty: anywhere on the screen
        QTest::addColumn<QRect>("main");
        // The test screen is 1920 by 1080.
        QTest::newRow("right of the screen")
            << QStringList{"cleft=2500", "ctop=40", "cheight=200", "left=2600", "top=100"}
            << QRect(1920 - 425, 40, 425, 200) << QRect(1920 - 685, 100, 685, 698);
        QTest::newRow("above and left")
            << QStringList{"cleft=-900", "ctop=-500", "cheight=200", "left=-1000", "top=-800"}
            << QRect(0, 0, 425, 200) << QRect(0, 0, 685, 698);
        QTest::newRow("below") << QStringList{"cleft=300", "ctop=1500", "cheight=300", "top=1200"}
                               << QRect(300, 1080 - 300, 425, 300)
                               << QRect(195, 1080 - 698, 685, 698);
        // Partly off the screen but its title bar within reach: left as it was.
        QTest::newRow("reachable")
            << QStringList{"cleft=1800", "ctop=40", "cheight=200", "left=-600", "top=20"}
            << QRect(1800, 40, 425, 200) << QRect(-600, 20, 685, 698);
    }

    void placesSavedOnALargerScreenAreBroughtBackOntoThisOne() {
        QFETCH(QStringList, preferences);
        QFETCH(QRect, console);
        QFETCH(QRect, main);
        std::vector<std::string> lines;
        for (const QString& line : preferences) {
            lines.push_back(line.toStdString());
        }
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1920, 1080));
        vt::TConsole& shown = startShown(lines);
        // Within the few pixels of frame that a window system may keep on the screen too.
        const auto near = [](const QRect& actual, const QRect& expected) {
            constexpr int kFrame = 4;
            return actual.size() == expected.size() && qAbs(actual.x() - expected.x()) <= kFrame &&
                   qAbs(actual.y() - expected.y()) <= kFrame;
        };
        QVERIFY2(near(shown.geometry(), console),
                 qPrintable(QString("console at %1,%2").arg(shown.x()).arg(shown.y())));
        const QRect form = m_app->mainWindow().geometry();
        QVERIFY2(near(form, main),
                 qPrintable(QString("main at %1,%2").arg(form.x()).arg(form.y())));
    }

    void storedPlaceIsAppliedWhenShown() {
        vt::TConsole& console = startShown({"cleft=300", "ctop=40", "cheight=200"});
        QVERIFY(console.isVisible());
        QCOMPARE(console.geometry(), QRect(300, 40, 425, 200));
    }

    void menuTogglesAndShowingGoesBackToTheStoredPlace() {
        vt::TConsole& console = startShown({"cleft=300", "ctop=40", "cheight=200"});
        console.setGeometry(500, 60, 425, 250);
        toggle();
        QVERIFY(console.isHidden());
        toggle();
        QVERIFY(console.isVisible());
        QCOMPARE(console.geometry(), QRect(300, 40, 425, 200));
    }

    void closeBoxOnlyHidesAndKeepsTheLog() {
        vt::TConsole& console = startShown({});
        console.appendLine("à garder");
        QVERIFY(console.close() == false);
        QVERIFY(console.isHidden());
        toggle();
        QVERIFY(console.isVisible());
        QVERIFY(console.Memo1()->toPlainText().endsWith("à garder"));
    }

    void exitRecordsTheConsolePlaceInThePreferences() {
        vt::TConsole& console = startShown({"cleft=300", "ctop=40", "cheight=200"});
        console.setGeometry(510, 65, 425, 333);
        m_app->mainWindow().findChild<QAction*>("Quitter1")->trigger();
        const std::vector<std::string> lines = m_folder->readLines("vtl.ini");
        QCOMPARE(lines.size(), std::size_t{23});
        QCOMPARE(lines[8], std::string("cleft=510"));
        QCOMPARE(lines[9], std::string("ctop=65"));
        QCOMPARE(lines[10], std::string("cheight=333"));
    }

    void hiddenConsoleStillRecordsItsPlaceAtExit() {
        vt::TConsole& console = startShown({"cleft=300", "ctop=40", "cheight=200"});
        toggle();
        m_app->finish();
        QVERIFY(console.isHidden());
        QCOMPARE(m_folder->readLines("vtl.ini")[8], std::string("cleft=300"));
    }

    void messageWindowHasItsDesignLooks() {
        vt::TMessageInfo window;
        QCOMPARE(window.windowTitle(), QString("MessageInfo"));
        QCOMPARE(window.geometry(), QRect(392, 231, 433, 178));
        QVERIFY(window.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
        QLabel* info = window.info();
        QCOMPARE(info->objectName(), QString("info"));
        QCOMPARE(info->text(), QString("info"));
        QCOMPARE(info->pos(), QPoint(64, 56));
        QCOMPARE(info->font().pointSize(), 11);
    }

    void messageWindowTextIsSizedToIt() {
        vt::TMessageInfo window;
        window.show();
        const int shortWidth = window.info()->width();
        window.setInfo("Extraction du groupe ESU : SALLE-INFORMATIQUE-12");
        QCOMPARE(window.info()->text(),
                 QString("Extraction du groupe ESU : SALLE-INFORMATIQUE-12"));
        QVERIFY(window.info()->width() > shortWidth);
        QCOMPARE(window.info()->width(), window.info()->sizeHint().width());
        QCOMPARE(window.info()->pos(), QPoint(64, 56));
    }

    void programWindowsStartHidden() {
        m_app = std::make_unique<vt::Application>(m_folder->options());
        QVERIFY(m_app->console().isHidden());
        QVERIFY(m_app->messageInfo().isHidden());
        m_app->show();
        QVERIFY(m_app->messageInfo().isHidden());
    }
};

QTEST_MAIN(ConsoleTest)
#include "console_qtest.moc"
