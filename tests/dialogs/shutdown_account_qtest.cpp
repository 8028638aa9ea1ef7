// The preferences' shutdown account: OK writes the authentication file the shutdown tool reads,
// for its owner only, the password is never shown again, and "Essayer" reports what the tool
// found on a machine of the current group. The tool runs for real against a stand-in for
// Samba's net on a loopback name. With VT_SCREENSHOT_DIR set, the box is pictured after a
// trial.

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

using vt::test::ProgramFolder;
using vt::test::ScopedEnvironment;

namespace {

// Answers as Samba's net would for a refused account, or for one that may cancel a shutdown.
constexpr const char* kFakeNet =
    "#!/bin/sh\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >>\"$FAKE_NET_ARGUMENTS\"\n"
    "if [ -n \"$FAKE_NET_REFUSES\" ]; then\n"
    "  echo 'Could not connect: NT_STATUS_LOGON_FAILURE'; exit 255; fi\n"
    "echo 'Abort shutdown of remote machine succeeded'\n";

QByteArray fileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ShutdownAccountTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    // Opens the preferences, runs `typed` on them, and answers OK.
    void openPreferences(const std::function<void(vt::TPrefs&)>& typed) {
        vt::AnswerableDialog::setOpeningHook([typed](QDialog& dialog) {
            auto* prefs = qobject_cast<vt::TPrefs*>(&dialog);
            QVERIFY(prefs != nullptr);
            typed(*prefs);
        });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        m_app->mainWindow().findChild<QAction*>("Prfrences1")->trigger();
    }
    static QString trial(vt::TPrefs& prefs) {
        auto* answer = prefs.findChild<QLabel*>("reponse_essai_arret_pref");
        auto* button = prefs.findChild<QPushButton*>("essai_arret_pref");
        button->click();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000); }();
        return answer->text();
    }

private slots:
    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
        QVERIFY(m_folder->linkTool("vt_shutdown"));
        namespace fs = std::filesystem;
        fs::create_directories(m_folder->root() + "/net-bin");
        m_folder->writeBytes(m_folder->root() + "/net-bin/net", kFakeNet);
        fs::permissions(m_folder->root() + "/net-bin/net", fs::perms::owner_all);
        m_folder->writeLines("localGM", {"SALLE1"});
        m_folder->writeLines("SALLE1", {"SALLE1-01*", "localhost"});
    }

    void cleanup() {
        vt::AnswerableDialog::setOpeningHook({});
        m_app.reset();
        m_folder.reset();
        vt::DialogAnswers::reset();
    }

    void okWritesTheAccountForItsOwnerAndTheTrialSaysWhatTheToolFound() {
        const std::string path = m_folder->root() + "/net-bin:" + qgetenv("PATH").toStdString();
        ScopedEnvironment searchPath("PATH", path.c_str());
        const std::string arguments = m_folder->root() + "/net-arguments";
        ScopedEnvironment recorded("FAKE_NET_ARGUMENTS", arguments.c_str());
        m_app = std::make_unique<vt::Application>(m_folder->options(true));
        m_app->show();
        m_app->state().CurrentGroup = "SALLE1";
        const std::string file = qgetenv("VANTOREL_SMB_AUTH").toStdString();

        QStringList answers;
        openPreferences([&answers, this](vt::TPrefs& prefs) {
            prefs.findChild<QLineEdit*>("domaine_arret_pref")->setText(" COLLEGE ");
            prefs.findChild<QLineEdit*>("utilisateur_arret_pref")->setText("vtarret");
            prefs.findChild<QLineEdit*>("mdp_arret_pref")->setText("Mot2passe");
            {
                ScopedEnvironment refuses("FAKE_NET_REFUSES", "1");
                answers << trial(prefs);
            }
            prefs.show();
            QVERIFY(QTest::qWaitForWindowExposed(&prefs));
            QVERIFY(
                prefs.findChild<QWidget*>("GroupBox7")
                    ->grab()
                    .save(vt::test::screenshotFolder(*m_folder) + "/shutdown-account-refused.png"));
            answers << trial(prefs);
            QVERIFY(prefs.findChild<QWidget*>("GroupBox7")
                        ->grab()
                        .save(vt::test::screenshotFolder(*m_folder) +
                              "/shutdown-account-accepted.png"));
            prefs.hide();
        });
        QCOMPARE(answers, (QStringList{"localhost : accès refusé : compte ou mot de passe "
                                       "refusé, ou pas le droit d'arrêter ce poste",
                                       "localhost : annulation demandée : le compte est accepté"}));
        // The trial cancels, on the first machine that may be shut down, with a file of its own.
        const QStringList netArguments =
            vt::test::textLines(QString::fromUtf8(fileBytes(arguments)));
        QVERIFY(netArguments.contains("abortshutdown"));
        QVERIFY(netArguments.contains("--server=localhost"));
        QVERIFY(!netArguments.filter("--authentication-file=").isEmpty());
        QVERIFY(!netArguments.contains(QString::fromStdString("--authentication-file=" + file)));
        QVERIFY(netArguments.filter("Mot2passe").isEmpty());

        struct stat info {};
        QCOMPARE(::stat(file.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        const QByteArray saved = "username=vtarret\npassword=Mot2passe\ndomain=COLLEGE\n";
        QCOMPARE(fileBytes(file), saved);

        // Opened again: the password is not shown, and OK without one keeps it.
        QString shownPassword = "?";
        QString shownUser;
        openPreferences([&](vt::TPrefs& prefs) {
            shownPassword = prefs.findChild<QLineEdit*>("mdp_arret_pref")->text();
            shownUser = prefs.findChild<QLineEdit*>("utilisateur_arret_pref")->text();
        });
        QCOMPARE(shownPassword, QString());
        QCOMPARE(shownUser, QString("vtarret"));
        QCOMPARE(fileBytes(file), saved);
    }
};

QTEST_MAIN(ShutdownAccountTest)
#include "shutdown_account_qtest.moc"
