// The preferences' shutdown account: OK writes the shutdown tool's authentication file for its
// owner only, the password is never shown again, and "Essayer" reports what the real tool found
// on a loopback machine of the current group, with a stand-in for Samba's net. With
// VT_SCREENSHOT_DIR set, the box is pictured after each trial.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

#include <filesystem>

#include "dialogs/answerable_dialog.h"
#include "dialogs/dialog_answers.h"
#include "dialogs/uprefs.h"
#include "mainwindow/application.h"
#include "mainwindow/main.h"
#include "tests/support/qt/program_folder.h"
#include "tests/support/scoped_environment.h"

using vt::test::ScopedEnvironment;

class ShutdownAccountTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<vt::test::ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    // Opens the preferences, runs `typed` on them, and answers OK.
    void openPreferences(const std::function<void(vt::TPrefs&)>& typed) {
        vt::AnswerableDialog::setOpeningHook(
            [typed](QDialog& dialog) { typed(*qobject_cast<vt::TPrefs*>(&dialog)); });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        m_app->mainWindow().findChild<QAction*>("Prfrences1")->trigger();
    }
    QString trial(vt::TPrefs& prefs, const char* picture) {
        auto* button = prefs.findChild<QPushButton*>("essai_arret_pref");
        button->click();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000); }();
        prefs.show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&prefs)); }();
        prefs.findChild<QWidget*>("GroupBox7")
            ->grab()
            .save(vt::test::screenshotFolder(*m_folder) + "/" + picture);
        prefs.hide();
        return prefs.findChild<QLabel*>("reponse_essai_arret_pref")->text();
    }

private slots:
    void cleanup() {
        vt::AnswerableDialog::setOpeningHook({});
        m_app.reset();
        m_folder.reset();
        vt::DialogAnswers::reset();
    }

    void okWritesTheAccountForItsOwnerAndTheTrialSaysWhatTheToolFound() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<vt::test::ProgramFolder>();
        QVERIFY(m_folder->isValid() && m_folder->linkTool("vt_shutdown"));
        const std::string netFolder = m_folder->root() + "/net-bin";
        std::filesystem::create_directories(netFolder);
        m_folder->writeBytes(netFolder + "/net",
                             "#!/bin/sh\nif [ -n \"$FAKE_NET_REFUSES\" ]; then\n"
                             "  echo 'Could not connect: NT_STATUS_LOGON_FAILURE'; exit 255; fi\n"
                             "echo 'Abort shutdown of remote machine succeeded'\n");
        std::filesystem::permissions(netFolder + "/net", std::filesystem::perms::owner_all);
        const std::string searchFolders = netFolder + ":" + qgetenv("PATH").toStdString();
        ScopedEnvironment searchPath("PATH", searchFolders.c_str());
        m_folder->writeLines("localGM", {"SALLE1"});
        m_folder->writeLines("SALLE1", {"SALLE1-01*", "localhost"});
        ScopedEnvironment account("VANTOREL_SMB_AUTH", m_folder->path("smb.auth").c_str());
        m_app = std::make_unique<vt::Application>(m_folder->options(true));
        m_app->state().CurrentGroup = "SALLE1";

        QStringList answers;
        openPreferences([&answers, this](vt::TPrefs& prefs) {
            prefs.findChild<QLineEdit*>("domaine_arret_pref")->setText(" COLLEGE ");
            prefs.findChild<QLineEdit*>("utilisateur_arret_pref")->setText("vtarret");
            prefs.findChild<QLineEdit*>("mdp_arret_pref")->setText("Mot2passe");
            {
                ScopedEnvironment refuses("FAKE_NET_REFUSES", "1");
                answers << trial(prefs, "shutdown-account-refused.png");
            }
            answers << trial(prefs, "shutdown-account-accepted.png");
        });
        QCOMPARE(answers, (QStringList{"localhost : accès refusé : compte ou mot de passe "
                                       "refusé, ou pas le droit d'arrêter ce poste",
                                       "localhost : annulation demandée : le compte est accepté"}));
        struct stat info {};
        QCOMPARE(::stat(m_folder->path("smb.auth").c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        const std::string saved = "username=vtarret\npassword=Mot2passe\ndomain=COLLEGE\n";
        QCOMPARE(m_folder->readBytes("smb.auth"), saved);

        // Opened again: the password is not shown, and OK without one keeps it.
        QStringList shown;
        openPreferences([&shown](vt::TPrefs& prefs) {
            shown << prefs.findChild<QLineEdit*>("utilisateur_arret_pref")->text()
                  << prefs.findChild<QLineEdit*>("mdp_arret_pref")->text();
        });
        QCOMPARE(shown, (QStringList{"vtarret", ""}));
        QCOMPARE(m_folder->readBytes("smb.auth"), saved);
    }
};

QTEST_MAIN(ShutdownAccountTest)
#include "shutdown_account_qtest.moc"
