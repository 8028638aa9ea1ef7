// The built program run as a process, offscreen, from a program folder that holds only the
// program and its images.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <signal.h>

#include "core/incident_logs.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;

namespace {

const QStringList kStartFiles = {
    "Autres",       "Vantorel",          "led-gris.bmp",      "led-orange.bmp", "led-rouge.bmp",
    "led-vert.bmp", "liste.ip",          "liste.ip.discover", "liste.mac",      "liste.patch",
    "settings.ini", "shutdown.followup", "vt_scheduler.lck",  "vtl.ini",        "wol.followup"};

}  // namespace

class ProgramBinaryTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<QProcess> m_process;

    // Starts the program from the folder's parent, so that it must find its own folder,
    // offscreen on the test's own screen (where
    // its windows' design places lie); its standard error is kept for the test or forwarded.
    void launchProgram(const QStringList& arguments, bool keepErrors) {
        m_process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
        environment.insert("QT_QPA_PLATFORM",
                           platform.startsWith("offscreen") ? platform : QString("offscreen"));
        environment.insert("VANTOREL_DRIVE_C", QString::fromStdString(m_folder->driveC()));
        environment.insert("VANTOREL_UNC_ROOT", QString::fromStdString(m_folder->uncRoot()));
        m_process->setProcessEnvironment(environment);
        m_process->setWorkingDirectory(QString::fromStdString(m_folder->root()));
        if (!keepErrors) {
            m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
        m_process->start(QString::fromStdString(m_folder->path("Vantorel")), arguments);
        QVERIFY(m_process->waitForStarted(10000));
    }

    // Starts the program and waits until its main window has been shown (the groups are
    // loaded then).
    void startProgram(const QStringList& arguments) {
        launchProgram(arguments, false);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromStdString(m_folder->path("Autres"))),
                                 20000);
        QTest::qWait(300);
        QCOMPARE(m_process->state(), QProcess::Running);
    }

    void endProgram(int signal) {
        QVERIFY(::kill(static_cast<pid_t>(m_process->processId()), signal) == 0);
        QVERIFY(m_process->waitForFinished(20000));
        QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_process->exitCode(), 0);
    }

private slots:
    void init() {
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
        QVERIFY(m_folder->copyProgram());
    }

    void cleanup() {
        if (m_process && m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished();
        }
        m_process.reset();
        m_folder.reset();
    }

    void firstStartCreatesExactlyTheStartFiles() {
        startProgram({});
        QCOMPARE(m_folder->fileNames(), kStartFiles);
        for (const char* empty : {"liste.mac", "liste.ip", "liste.patch", "liste.ip.discover",
                                  "vtl.ini", "Autres", "settings.ini"}) {
            QCOMPARE(m_folder->readBytes(empty), std::optional<std::string>(""));
        }
        const std::string wolHeader =
            "     Date     ;    Heure    ;   Ordinateur   ;         Erreur constat\xE9"
            "e"
            "         ;              Cause              ;";
        const std::string shutdownHeader =
            "     Date     ;    Heure    ;   Ordinateur   ;         Erreur constat\xE9"
            "e"
            "         ;             Cause              ;";
        QCOMPARE(wolHeader.size(), std::size_t{115});
        QCOMPARE(shutdownHeader.size(), std::size_t{114});
        QCOMPARE(m_folder->readBytes("wol.followup"), std::optional(wolHeader + "\r\n"));
        QCOMPARE(m_folder->readBytes("shutdown.followup"), std::optional(shutdownHeader + "\r\n"));
        endProgram(SIGTERM);
        QCOMPARE(m_folder->fileNames(), kStartFiles);
    }

    void exitWritesEveryPreference_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void exitWritesEveryPreference() {
        QFETCH(int, signal);
        startProgram({});
        endProgram(signal);
        const std::string expected =
            "pdc=\r\nesu=false\r\ndatapath=\r\nip=\r\nmasque=\r\nleft=195\r\ntop=71\r\n"
            "height=698\r\ncleft=880\r\nctop=71\r\ncheight=310\r\nshutdown_wait=0\r\n"
            "shutdown_comment=\r\noffset=0\r\nocs_login=\r\nocs_pwd=\r\nocs_server=\r\n"
            "ipr_url=\r\nipr_login=\r\nzone_vacances=\r\npas_allumage_feries=0\r\n"
            "puissance_poste=60\r\nprix_kwh=0,25\r\n";
        QCOMPARE(m_folder->readBytes("vtl.ini"), std::optional(expected));
    }

    void localArgumentSwitchesEsuOffInTheSavedPreferences_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("esu");
        QTest::newRow("local") << QStringList{"local"} << "esu=false";
        QTest::newRow("local, then others") << QStringList{"local", "x"} << "esu=false";
        QTest::newRow("LOCAL is not local") << QStringList{"LOCAL"} << "esu=true";
        QTest::newRow("local second") << QStringList{"x", "local"} << "esu=true";
    }

    void localArgumentSwitchesEsuOffInTheSavedPreferences() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, esu);
        m_folder->writeLines("vtl.ini", {"pdc=\\\\PDC", "esu=true"});
        startProgram(arguments);
        endProgram(SIGTERM);
        const std::vector<std::string> lines = m_folder->readLines("vtl.ini");
        QCOMPARE(lines.size(), std::size_t{23});
        QCOMPARE(lines[0], std::string("pdc=\\\\PDC"));
        QCOMPARE(QString::fromStdString(lines[1]), esu);
    }

    // A termination request ends the program even while a box waits for an answer, at the
    // start or at the exit, saving what can be saved and writing what failed on standard
    // error.
    void terminationEndsTheProgramWhileABoxIsOpen_data() {
        QTest::addColumn<QString>("situation");
        QTest::newRow("image missing at the start") << "image";
        QTest::newRow("list that is a folder") << "folder";
        QTest::newRow("preferences read-only at the exit") << "read-only";
    }

    void terminationEndsTheProgramWhileABoxIsOpen() {
        QFETCH(QString, situation);
        if (situation == "image") {
            QVERIFY(QFile::remove(QString::fromStdString(m_folder->path("led-vert.bmp"))));
        } else if (situation == "folder") {
            QVERIFY(QDir().mkpath(QString::fromStdString(m_folder->path("liste.mac"))));
        }
        m_folder->writeLines("vtl.ini", {"pdc=\\\\PDC"});
        launchProgram({}, true);
        if (situation == "read-only") {
            QTRY_VERIFY_WITH_TIMEOUT(
                QFile::exists(QString::fromStdString(m_folder->path("Autres"))), 20000);
            QTest::qWait(300);
            QVERIFY(QFile::setPermissions(QString::fromStdString(m_folder->path("vtl.ini")),
                                          QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else {
            QTest::qWait(1500);  // the box of the start is open by then
        }
        QCOMPARE(m_process->state(), QProcess::Running);
        endProgram(SIGTERM);
        const QString errors = QString::fromUtf8(m_process->readAllStandardError());
        if (situation == "read-only") {
            QVERIFY2(errors.contains("Impossible de créer le fichier"), qPrintable(errors));
            QCOMPARE(m_folder->readLines("vtl.ini"), std::vector<std::string>{"pdc=\\\\PDC"});
        } else {
            const std::vector<std::string> saved = m_folder->readLines("vtl.ini");
            QCOMPARE(saved.size(), std::size_t{23});
            QCOMPARE(saved[0], std::string("pdc=\\\\PDC"));
        }
        QCOMPARE(m_folder->readLines("wol.followup").size(), std::size_t{1});
    }
};

QTEST_MAIN(ProgramBinaryTest)
#include "program_binary_qtest.moc"
