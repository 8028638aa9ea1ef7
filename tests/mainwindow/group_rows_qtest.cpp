// The group rows of the main window, built in-process in a program folder holding the groups
// SALLE-A and SALLE-B: their places and tags, the panel and its "Save", the time boxes that
// open the schedule editor, the manual power commands and the batches they write.

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "dialogs/dialog_answers.h"
#include "mainwindow/application.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/main.h"
#include "power/timetable_runner.h"
#include "mainwindow/uConsole.h"
#include "power/utimer.h"
#include "qt/tooltip_timing.h"
#include "tests/support/qt/program_folder.h"

using vt::test::ProgramFolder;

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

class GroupRowsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    vt::TForm1& form() { return m_app->mainWindow(); }
    vt::GroupRows& rows() { return form().rows(); }
    vt::VtlVar& state() { return m_app->state(); }
    QPlainTextEdit* memo() { return form().findChild<QPlainTextEdit*>("Memo"); }
    QStringList consoleLines() {
        return vt::test::textLines(m_app->console().Memo1()->toPlainText());
    }

    void start() {
        m_app = std::make_unique<vt::Application>(m_folder->options(true));
        m_app->show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
    }

private slots:
    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
        m_folder->writeLines("vtl.ini", {"ip=127.0.0.255", "masque=255.255.255.0",
                                         "shutdown_wait=30", "shutdown_comment=Fin des cours"});
        m_folder->writeLines("localGM", {"SALLE-A", "SALLE-B"});
        m_folder->writeLines("SALLE-A", {"PC01", "PC02", "PC03*"});
        m_folder->writeLines("SALLE-B", {"PC11"});
        m_folder->writeLines("liste.mac", {"PC01 00-11-22-33-44-01", "PC02 00:11:22:33:44:02",
                                           "PC03 00:11:22:33:44:03"});
        m_folder->writeLines("liste.ip", {"PC01 127.0.0.1"});
        m_folder->writeLines("settings.ini",
                             {"SALLE-A", "7:45+Tous-60", "17:30+Tous", "Salle A", "NA"});
    }

    void cleanup() {
        vt::Tadvanced_timer::setOpeningHook({});
        m_app.reset();
        m_folder.reset();
        vt::DialogAnswers::reset();
    }

    void rowsSitUnderTheirCaptionsAndAutresShowsOnlyItsButton() {
        start();
        QCOMPARE(rows().count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(rows().groupButton(i)->geometry(), QRect(15, i * 24 + 32, 100, 22));
            QCOMPARE(rows().shutdownBox(i)->geometry(), QRect(128, i * 24 + 32, 38, 22));
            QCOMPARE(rows().powerOnBox(i)->geometry(), QRect(185, i * 24 + 32, 38, 22));
            QCOMPARE(rows().durationBox(i)->geometry(), QRect(230, i * 24 + 32, 25, 22));
            QCOMPARE(rows().led(i)->geometry(), QRect(285, i * 24 + 34, 17, 17));
            QCOMPARE(rows().onButton(i)->geometry(), QRect(320, i * 24 + 32, 22, 22));
            QCOMPARE(rows().offButton(i)->geometry(), QRect(343, i * 24 + 32, 22, 22));
        }
        QCOMPARE(vt::GroupRows::tagOf(rows().shutdownBox(0)), -999);
        QCOMPARE(vt::GroupRows::tagOf(rows().shutdownBox(1)), -1);
        QCOMPARE(vt::GroupRows::tagOf(rows().durationBox(1)), 1001);

        QCOMPARE(rows().groupButton(0)->text(), QString("SALLE-A"));
        QCOMPARE(rows().groupButton(2)->text(), QString("Autres"));
        QCOMPARE(rows().groupButton(2)->toolTip(),
                 QString("Liste tous les ordinateurs qui n'ont pas pu être automatiquement "
                         "affectés à un groupe"));
        QCOMPARE(rows().groupButton(2)->palette().color(QPalette::Button), QColor(255, 191, 53));
        QVERIFY(rows().groupButton(2)->isVisible());
        for (QWidget* hidden :
             {static_cast<QWidget*>(rows().shutdownBox(2)),
              static_cast<QWidget*>(rows().powerOnBox(2)),
              static_cast<QWidget*>(rows().durationBox(2)), static_cast<QWidget*>(rows().led(2)),
              static_cast<QWidget*>(rows().onButton(2)),
              static_cast<QWidget*>(rows().offButton(2))}) {
            QVERIFY(!hidden->isVisible());
            QVERIFY(!hidden->isEnabled());
        }
        QVERIFY(rows().onButton(1)->isVisible());
        QCOMPARE(rows().led(0)->pixmap().toImage(), m_app->leds().LedGrey.toImage());

        // Today's schedule and comment fill the first row; a group without a record keeps the
        // defaults.
        QCOMPARE(rows().powerOnBox(0)->text(), QString("7:45"));
        QCOMPARE(rows().durationBox(0)->text(), QString("60"));
        QCOMPARE(rows().shutdownBox(0)->text(), QString("17:30"));
        QCOMPARE(rows().groupButton(0)->toolTip(), QString("Salle A"));
        QCOMPARE(rows().powerOnBox(1)->text(), QString("0:00"));
        QCOMPARE(rows().durationBox(1)->text(), QString());

        QCOMPARE(text(state().CurrentGroup), QString("SALLE-A"));
        QVERIFY(memo()->toPlainText().isEmpty());
        QCOMPARE(vt::toolTipShowDelay(), std::chrono::milliseconds(200));
        // The discovery window, created after the main window, keeps hints 20 seconds.
        QCOMPARE(vt::toolTipHideDelay(), std::chrono::milliseconds(20000));
    }

    void timeBoxesOpenTheEditorForTheirRowAndField() {
        start();
        struct Case {
            QWidget* box;
            int field;
            int group;
        };
        const Case cases[] = {{rows().shutdownBox(0), 0, 0},
                              {rows().durationBox(1), 2, 1},
                              {rows().powerOnBox(1), 1, 1}};
        for (const Case& c : cases) {
            vt::DialogAnswers::reset();
            vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
            vt::test::clickCentre(c.box);
            QCOMPARE(state().EditedTimeField, c.field);
            QCOMPARE(state().EditedGroupIndex, c.group);
            QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
            QCOMPARE(vt::DialogAnswers::asked().front().caption, QString("Programmation avancée"));
        }
        // The panel is not changed by a time box.
        QVERIFY(form().shownGroup().empty());
    }

    // No row limit: with 1,200 groups every group has its row, "Autres" is the last one, and a
    // time box far down still opens the editor for its own row.
    void everyGroupHasItsRowAndAutresIsAlwaysLast() {
        std::vector<std::string> groups;
        for (int i = 0; i < 1200; ++i) {
            groups.push_back("G" + std::to_string(i));
        }
        m_folder->writeLines("localGM", groups);
        start();
        QCOMPARE(rows().count(), 1201);
        QCOMPARE(rows().groupButton(1199)->text(), QString("G1199"));
        QCOMPARE(rows().groupButton(1200)->text(), QString("Autres"));
        QCOMPARE(rows().groupButton(1200)->palette().color(QPalette::Button), QColor(255, 191, 53));
        QVERIFY(rows().groupButton(255)->palette().color(QPalette::Button) != QColor(255, 191, 53));
        const std::pair<QWidget*, int> boxes[] = {{rows().shutdownBox(999), 0},
                                                  {rows().powerOnBox(1100), 1},
                                                  {rows().durationBox(1100), 2}};
        for (const auto& [box, field] : boxes) {
            vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
            vt::test::clickCentre(box);
            QCOMPARE(state().EditedTimeField, field);
        }
        QCOMPARE(text(state().CurrentGroup), QString("G1100"));
        QCOMPARE(state().EditedGroupIndex, 1100);
    }

    void theEditorsSaveShowsInTheRowAtOnce() {
        start();
        vt::Tadvanced_timer::setOpeningHook([](vt::Tadvanced_timer& editor) {
            editor.findChild<QLineEdit*>("PHeure")->setText("8:10");
            editor.findChild<QLineEdit*>("Pduree")->setText("45");
        });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        vt::test::clickCentre(rows().powerOnBox(1));
        QCOMPARE(rows().powerOnBox(1)->text(), QString("8:10"));
        QCOMPARE(rows().durationBox(1)->text(), QString("45"));
        QCOMPARE(m_folder->readLines("settings.ini").at(5), std::string("SALLE-B"));
        QCOMPARE(m_folder->readLines("settings.ini").at(6), std::string("8:10+Tous-45"));
    }

    void saveStoresTheShownGroupsListInUpperCase() {
        start();
        vt::test::clickCentre(rows().groupButton(0));
        QCOMPARE(form().findChild<QLabel*>("nomliste")->text(), QString("SALLE-A"));
        QCOMPARE(memo()->toPlainText(), QString("PC01\nPC02\nPC03*"));

        memo()->setPlainText("pc1\n\npc2\n");
        // A LED click makes SALLE-B current but leaves SALLE-A in the panel.
        vt::test::clickCentre(rows().led(1));
        QCOMPARE(text(state().CurrentGroup), QString("SALLE-B"));
        vt::test::clickCentre(form().findChild<QPushButton*>("BtnSave"));
        QCOMPARE(m_folder->readLines("SALLE-A"), (std::vector<std::string>{"PC1", "PC2"}));
        QCOMPARE(m_folder->readLines("SALLE-B"), (std::vector<std::string>{"PC11"}));
        QCOMPARE(memo()->toPlainText(), QString("PC1\nPC2"));
    }

    void saveWithoutAShownGroupWritesNothing() {
        start();
        memo()->setPlainText("PC99");
        vt::test::clickCentre(form().findChild<QPushButton*>("BtnSave"));
        QCOMPARE(m_folder->readLines("Autres"), std::vector<std::string>{});
    }

    void aGroupWithoutItsFileShowsAnEmptyList() {
        m_folder->writeLines("localGM", {"SALLE-A", "SALLE-C"});
        start();
        vt::test::clickCentre(rows().groupButton(1));
        QCOMPARE(form().findChild<QLabel*>("nomliste")->text(), QString("SALLE-C"));
        QVERIFY(memo()->toPlainText().isEmpty());
    }

    void neverShutdownAddsTheNameOnlyWhenConfirmed() {
        start();
        vt::test::clickCentre(rows().groupButton(0));
        // "Annuler" after typing a name cancels: nothing is added or marked.
        vt::DialogAnswers::preset({QDialog::Rejected, QString("PC01")});
        form().findChild<QAction*>("Nejamaisteindre1")->trigger();
        QVERIFY(!m_folder->readBytes("liste.exclusion"));
        QCOMPARE(memo()->toPlainText(), QString("PC01\nPC02\nPC03*"));

        vt::DialogAnswers::preset({QDialog::Accepted, QString("PC02")});
        form().findChild<QAction*>("Nejamaisteindre1")->trigger();
        QCOMPARE(m_folder->readLines("liste.exclusion"), std::vector<std::string>{"PC02"});
        // The panel shows the new mark at once.
        QCOMPARE(memo()->toPlainText(), QString("PC01\nPC02*\nPC03*"));
        QCOMPARE(vt::DialogAnswers::asked().back().text,
                 QString("Entrer le nom de la machine à ne jamais éteindre :"));
    }

    void commentAfterARightClickEditsTheGroupRightClicked() {
        start();
        vt::test::clickCentre(rows().groupButton(0));
        // The right-click on SALLE-B opens the menu without making SALLE-B current.
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                     rows().groupButton(1)->mapToGlobal(QPoint(5, 5)));
        QTimer::singleShot(0, [this] { rows().popupGM()->close(); });
        QCoreApplication::sendEvent(rows().groupButton(1), &rightClick);
        QCOMPARE(text(state().CurrentGroup), QString("SALLE-A"));
        vt::DialogAnswers::preset({QDialog::Accepted, QString("Salle du fond")});
        rows().popupGM()->findChild<QAction*>("Commentaire1")->trigger();
        QCOMPARE(rows().groupButton(1)->toolTip(), QString("Salle du fond"));
        QCOMPARE(rows().groupButton(0)->toolTip(), QString("Salle A"));
        QCOMPARE(vt::DialogAnswers::asked().back().caption,
                 QString("Commentaire du groupe SALLE-B"));
        QCOMPARE(vt::DialogAnswers::asked().back().text,
                 QString("Commentaire pour le groupe de machines :"));
        const QStringList items = {rows().popupGM()->actions().at(0)->text(),
                                   rows().popupGM()->actions().at(1)->text()};
        QCOMPARE(items, (QStringList{"Commentaire", "Consommation électrique"}));
        // The consumption window is asked for the same group.
        QSignalSpy consumption(&rows(), &vt::GroupRows::consumptionChosen);
        rows().popupGM()->findChild<QAction*>("Consommationlectrique1")->trigger();
        QCOMPARE(consumption.size(), 1);
        QCOMPARE(consumption.front().front().toInt(), 1);
    }

    void aConfirmedCommentIsKeptByTheScheduleFile() {
        start();
        vt::test::clickCentre(rows().groupButton(1));
        // "Annuler" leaves the comment, the button and the file as they were.
        const std::optional<std::string> before = m_folder->readBytes("settings.ini");
        vt::DialogAnswers::preset({QDialog::Rejected, QString("oublié")});
        rows().popupGM()->findChild<QAction*>("Commentaire1")->trigger();
        QCOMPARE(rows().groupButton(1)->toolTip(), QString());
        QCOMPARE(m_folder->readBytes("settings.ini"), before);

        vt::DialogAnswers::preset({QDialog::Accepted, QString("Salle B, étage")});
        rows().popupGM()->findChild<QAction*>("Commentaire1")->trigger();
        QCOMPARE(rows().groupButton(1)->toolTip(), QString("Salle B, étage"));
        QCOMPARE(
            m_folder->readLines("settings.ini"),
            (std::vector<std::string>{"SALLE-A", "7:45+Tous-60", "17:30+Tous", "Salle A", "NA",
                                      "SALLE-B", "0:00+Tous", "0:00", "Salle B, étage", "NA"}));

        // The schedule editor's save and the reload after it keep the comment.
        vt::Tadvanced_timer::setOpeningHook([](vt::Tadvanced_timer& editor) {
            editor.findChild<QLineEdit*>("PHeure")->setText("8:10");
        });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        vt::test::clickCentre(rows().powerOnBox(1));
        QCOMPARE(rows().powerOnBox(1)->text(), QString("8:10"));
        QCOMPARE(rows().groupButton(1)->toolTip(), QString("Salle B, étage"));
        QCOMPARE(m_folder->readLines("settings.ini").at(8), std::string("Salle B, étage"));
    }

    void tabInTheMachineListMovesOnInsteadOfTypingATab() {
        start();
        vt::test::clickCentre(rows().groupButton(0));
        memo()->setFocus();
        QTRY_VERIFY(memo()->hasFocus());
        QTest::keyClick(memo(), Qt::Key_Tab);
        QCOMPARE(memo()->toPlainText(), QString("PC01\nPC02\nPC03*"));
        QVERIFY(!memo()->hasFocus());
    }

    void aGroupNameTooLongForItsButtonIsReadInItsTooltip() {
        m_folder->writeLines("localGM", {"SALLE-INFORMATIQUE-DU-PREMIER-ETAGE", "SALLE-B"});
        m_folder->writeLines("settings.ini", {"SALLE-INFORMATIQUE-DU-PREMIER-ETAGE", "0:00+Tous",
                                              "0:00", "Technologie", "NA"});
        start();
        QCOMPARE(rows().groupButton(0)->toolTip(),
                 QString("SALLE-INFORMATIQUE-DU-PREMIER-ETAGE\nTechnologie"));
        // A name that fits shows only its comment, here none.
        QCOMPARE(rows().groupButton(1)->toolTip(), QString());
        // The button still stands for the whole name.
        vt::test::clickCentre(rows().groupButton(0));
        QCOMPARE(text(state().CurrentGroup), QString("SALLE-INFORMATIQUE-DU-PREMIER-ETAGE"));
    }

    void manualPowerUpAndShutdownWriteTheirBatches() {
        start();
        vt::test::clickCentre(rows().onButton(0));
        QCOMPARE(form().findChild<QLabel*>("nomliste")->text(), QString("SALLE-A"));
        const std::string dataDir = state().DataDir;
        QCOMPARE(m_folder->readLines("powerupSALLE-A.bat"),
                 (std::vector<std::string>{"cd " + dataDir,
                                           "wolcmd 00-11-22-33-44-01 127.0.0.1 255.255.255.0",
                                           "wolcmd 00:11:22:33:44:02 127.0.0.255 255.255.255.0",
                                           "wolcmd 00:11:22:33:44:03 127.0.0.255 255.255.255.0"}));
        // A never-shutdown machine is woken like the others, found under its plain name.
        QVERIFY(!consoleLines().contains("wake-on-lan : pas d'adresse MAC pour PC03*"));

        // A whole room goes off only once the question is answered "Oui".
        vt::DialogAnswers::preset({QMessageBox::No, std::nullopt});
        vt::test::clickCentre(rows().offButton(1));
        QVERIFY(!m_folder->readBytes("shutdnSALLE-B.bat"));
        QCOMPARE(vt::DialogAnswers::asked().back().text,
                 QString("Éteindre les 1 machines du groupe SALLE-B ?"));
        vt::DialogAnswers::preset({QMessageBox::Yes, std::nullopt});
        vt::test::clickCentre(rows().offButton(1));
        QCOMPARE(text(state().CurrentGroup), QString("SALLE-B"));
        QCOMPARE(form().findChild<QLabel*>("nomliste")->text(), QString("SALLE-B"));
        QCOMPARE(m_folder->readLines("shutdnSALLE-B.bat"),
                 std::vector<std::string>{"shutdown -s -f -t 30 -c \"Fin des cours\" -m \\\\PC11"});
        QVERIFY(consoleLines().contains(
            QString::fromStdString("Résultat des arrêts dans " + dataDir + "shutdown.log")));
    }

    void aGroupWhoseFileIsMissingReportsItOnPowerUp() {
        m_folder->writeLines("localGM", {"SALLE-C"});
        start();
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});
        vt::test::clickCentre(rows().onButton(0));
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t(1));
        QVERIFY(vt::DialogAnswers::asked().front().text.contains("SALLE-C"));
        QVERIFY(!m_folder->fileNames().contains("powerupSALLE-C.bat"));
    }

    void theSchedulerTicksEveryMinute() {
        start();
        QVERIFY(form().timetables().holdsTimetables());
        // A tick outside every group's times changes nothing and shows no message.
        form().Timer1Timer();
        QVERIFY(vt::DialogAnswers::asked().empty());
    }
};

QTEST_MAIN(GroupRowsTest)
#include "group_rows_qtest.moc"
