// The "Rapports" menu of the running program: each item writes its file in the program folder
// and opens it in the program that stands for the Windows viewer, which is given a UTF-8 copy;
// with no viewer the program shows the report itself. A fake viewer placed first on the search
// path records what it was asked to open.

#include <QAction>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QtTest>

#include <sys/stat.h>
#include <cstdlib>
#include <fstream>

#include "core/incident_logs.h"
#include "dialogs/answerable_dialog.h"
#include "dialogs/dialog_answers.h"
#include "mainwindow/application.h"
#include "mainwindow/main.h"
#include "mainwindow/uConsole.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;

namespace {

const std::string kWolIncident =
    "06/12/2026;07:35:20;PC12;ne s'est pas mis en marche;raison inconnue;";

}  // namespace

class ReportsMenuTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;
    QByteArray m_savedPath;
    QByteArray m_savedRuntime;
    std::string m_openedRecord;

    // The documents the fake viewer was asked to open, one per start; it runs detached, so it
    // is given a moment to write.
    QStringList opened(int expected) {
        QStringList documents;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::ifstream record(m_openedRecord);
            documents.clear();
            for (std::string line; std::getline(record, line);) {
                documents << QString::fromStdString(line);
            }
            if (documents.size() >= expected) {
                break;
            }
            QTest::qWait(20);
        }
        return documents;
    }

    void trigger(const char* item) { m_app->mainWindow().findChild<QAction*>(item)->trigger(); }
    // Where the viewer is given its UTF-8 copy of a file.
    QString viewerCopy(const char* name) {
        return QString::fromStdString(m_folder->root() + "/run/vantorel/" + name);
    }

private slots:
    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
        // No spreadsheet on this path: the exports fall back to the text viewer.
        const std::string bin = m_folder->root() + "/fakebin";
        QVERIFY(::mkdir(bin.c_str(), 0755) == 0);
        m_openedRecord = m_folder->root() + "/opened.txt";
        const std::string viewer = bin + "/gnome-text-editor";
        std::ofstream(viewer) << "#!/bin/sh\necho \"$1\" >> '" << m_openedRecord << "'\n";
        QVERIFY(::chmod(viewer.c_str(), 0755) == 0);
        m_savedPath = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(bin) + ":/usr/bin:/bin");
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        QVERIFY(::mkdir((m_folder->root() + "/run").c_str(), 0700) == 0);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(m_folder->root() + "/run"));

        m_folder->writeLines("localGM", {"SALLE-A"});
        m_folder->writeLines("SALLE-A", {"PC12", "PC13*"});
        m_folder->writeLines("liste.mac", {"PC12 00-11-22-33-44-12"});
        m_folder->writeLines("vtl.ini", {"ip=192.168.1.255"});
        m_app = std::make_unique<vt::Application>(m_folder->options(true));
        m_app->show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->mainWindow()));
    }

    void cleanup() {
        vt::AnswerableDialog::setOpeningHook({});
        m_app.reset();
        m_folder.reset();
        qputenv("PATH", m_savedPath);
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
        vt::DialogAnswers::reset();
    }

    void bothReportsShareOneFileAndOpenInTheViewer() {
        vt::logIncident(m_app->state(), m_app->services(), vt::IncidentLog::PowerUp, kWolIncident);
        trigger("IncidentsWOL1");
        const std::vector<std::string> report = m_folder->readLines("rapport.txt");
        QCOMPARE(report.size(), std::size_t(4));
        QCOMPARE(report[0],
                 std::string("Vantorel - Liste des incidents de mise en route à distance "
                             "des ordinateurs (Wake-on-Lan)"));
        QCOMPARE(report[1], std::string(94, '='));
        QCOMPARE(report[3],
                 std::string("le 06/12/2026 à 07:35:20 l'ordinateur PC12 ne s'est pas mis "
                             "en marche.  Cause : raison inconnue;"));
        // The report is made from the log's file.
        QCOMPARE(m_folder->readLines("wol.followup").back(), kWolIncident);

        trigger("Incidentsshutdown1");
        const std::vector<std::string> second = m_folder->readLines("rapport.txt");
        QCOMPARE(second.size(), std::size_t(3));
        QCOMPARE(second[1], std::string(83, '='));

        QCOMPARE(opened(2), (QStringList{viewerCopy("rapport.txt"), viewerCopy("rapport.txt")}));
        QVERIFY(vt::DialogAnswers::asked().empty());
    }

    void withoutAViewerTheProgramShowsTheReportItself() {
        qputenv("PATH", QByteArray::fromStdString(m_folder->root() + "/nobin"));
        vt::logIncident(m_app->state(), m_app->services(), vt::IncidentLog::PowerUp, kWolIncident);
        QPlainTextEdit* text = nullptr;
        QString shown;
        vt::AnswerableDialog::setOpeningHook([&](QDialog& dialog) {
            text = dialog.findChild<QPlainTextEdit*>("reportText");
            shown = text->toPlainText();
        });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        trigger("IncidentsWOL1");
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
        QCOMPARE(vt::DialogAnswers::asked().front().caption, QString("Rapport"));
        QVERIFY(text != nullptr && text->isReadOnly());
        const QStringList lines = shown.split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[3], QString::fromStdString("le 06/12/2026 à 07:35:20 l'ordinateur PC12 ne "
                                                  "s'est pas mis en marche.  Cause : raison "
                                                  "inconnue;"));
        // The console says where the file is, as before.
        QVERIFY(m_app->console().Memo1()->toPlainText().contains(
            QString::fromStdString(m_folder->path("rapport.txt"))));
    }

    void theMachineExportFallsBackToTheViewer() {
        trigger("ListemachinesCSV1");
        QCOMPARE(m_folder->readLines("liste.machines"),
                 (std::vector<std::string>{
                     "\"  Machine  \";\"     Adresse MAC     \";\"     Adresse IP    \"",
                     "\"PC12\";\"00-11-22-33-44-12\";\"192.168.1.255\"",
                     "\"PC13*\";\"\";\"192.168.1.255\""}));
        QCOMPARE(opened(1), QStringList{viewerCopy("liste.machines")});
    }

    void anUnreadableGroupStopsTheMachineExportWithAMessage() {
        QVERIFY(std::remove(m_folder->path("SALLE-A").c_str()) == 0);
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});
        trigger("ListemachinesCSV1");
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
        QVERIFY(vt::DialogAnswers::asked().front().text.contains("SALLE-A"));
        QVERIFY(!m_folder->readBytes("liste.machines").has_value());
        QVERIFY(opened(0).isEmpty());
    }
};

QTEST_MAIN(ReportsMenuTest)
#include "reports_menu_qtest.moc"
