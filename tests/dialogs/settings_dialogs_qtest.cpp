// The preferences dialog and the group source dialog, opened from the main window's menu in
// the whole program. With VT_SCREENSHOT_DIR set, pictures of both are written there.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

#include <filesystem>

#include "core/preferences.h"
#include "dialogs/answerable_dialog.h"
#include "dialogs/dialog_answers.h"
#include "dialogs/uSearchPC.h"
#include "dialogs/uprefs.h"
#include "mainwindow/application.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/main.h"
#include "tests/support/qt/program_folder.h"
#include "tests/support/scoped_environment.h"

using vt::test::ProgramFolder;

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<vt::Application> m_app;

    void start(bool local = true) {
        m_app = std::make_unique<vt::Application>(m_folder->options(local));
        m_app->show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->mainWindow()));
    }
    void trigger(const char* item) { m_app->mainWindow().findChild<QAction*>(item)->trigger(); }
    vt::VtlVar& state() { return m_app->state(); }
    QStringList rowCaptions() {
        QStringList captions;
        for (int row = 0; row < m_app->mainWindow().rows().count(); ++row) {
            captions << m_app->mainWindow().rows().groupButton(row)->text();
        }
        return captions;
    }
    // Types into the dialog when it opens, and takes its picture while it shows, as it opened
    // or once typed into.
    enum class Picture { None, AsOpened, AsTyped };
    template <typename Dialog>
    void whenOpened(std::function<void(Dialog&)> type, Picture when = Picture::None) {
        const QString file =
            vt::test::screenshotFolder(*m_folder) + "/" +
            (std::is_same_v<Dialog, vt::TPrefs> ? "preferences.png" : "group-source.png");
        vt::AnswerableDialog::setOpeningHook([type, when, file](QDialog& dialog) {
            auto* opened = qobject_cast<Dialog*>(&dialog);
            QVERIFY(opened != nullptr);
            const auto takePicture = [&dialog, &file] {
                dialog.show();
                QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                QVERIFY(dialog.grab().save(file));
                dialog.hide();
            };
            if (when == Picture::AsOpened) {
                takePicture();
            }
            type(*opened);
            if (when == Picture::AsTyped) {
                takePicture();
            }
        });
    }

    // "Essayer" of the shutdown account, and a picture of the account's box with its answer.
    QString tryShutdownAccount(vt::TPrefs& prefs, const char* picture) {
        auto* button = prefs.findChild<QPushButton*>("essai_arret_pref");
        button->click();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 20000); }();
        prefs.findChild<QWidget*>("GroupBox7")
            ->grab()
            .save(vt::test::screenshotFolder(*m_folder) + "/" + picture);
        return prefs.findChild<QLabel*>("reponse_essai_arret_pref")->text();
    }

private slots:
    void init() {
        vt::test::requireDialogAnswers();
        m_folder = std::make_unique<ProgramFolder>();
        QVERIFY(m_folder->isValid());
    }

    void cleanup() {
        vt::AnswerableDialog::setOpeningHook({});
        m_app.reset();
        m_folder.reset();
        vt::DialogAnswers::reset();
    }

    void preferencesShowTheStateAndOkTakesTheFieldsBack() {
        m_folder->writeLines("vtl.ini",
                             {"ip=192.168.1.255", "masque=255.255.255.0", "shutdown_wait=30",
                              "shutdown_comment=Fin des cours : enregistrez votre travail",
                              "ocs_server=192.168.1.5", "ocs_login=ocs", "ocs_pwd=ocs-secret",
                              "ipr_url=http://192.168.1.254/dhcp.htm", "ipr_login=admin"});
        start();
        const std::optional<std::string> fileBefore = m_folder->readBytes("vtl.ini");
        QStringList shown;
        whenOpened<vt::TPrefs>(
            [&shown](vt::TPrefs& prefs) {
                for (const char* name :
                     {"IP_pref", "masque_pref", "shutdown_wait_pref", "shutdown_comment_pref",
                      "offset_pref", "Eocs_server", "Eocs_login", "Eocs_pwd", "url_ipr_prefs",
                      "login_ipr_prefs"}) {
                    shown << prefs.findChild<QLineEdit*>(name)->text();
                }
                prefs.findChild<QLineEdit*>("offset_pref")->setText(" 45");
                prefs.findChild<QLineEdit*>("Eocs_login")->setText("  lecteur ");
                prefs.findChild<QLineEdit*>("masque_pref")->setText("255.255.0.0");
                prefs.findChild<QComboBox*>("zone_vacances_pref")->setCurrentText("Zone B");
                prefs.findChild<QCheckBox*>("feries_pref")->setChecked(true);
            },
            Picture::AsOpened);
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        trigger("Prfrences1");
        QCOMPARE(vt::DialogAnswers::asked().back().caption, QString("Prefs"));
        QCOMPARE(shown,
                 (QStringList{"192.168.1.255", "255.255.255.0", "30",
                              "Fin des cours : enregistrez votre travail", "0", "192.168.1.5",
                              "ocs", "ocs-secret", "http://192.168.1.254/dhcp.htm", "admin"}));
        const vt::Preferences& prefs = state().Prefs;
        QCOMPARE(prefs.offset, 45);
        QCOMPARE(text(prefs.ocs_login), QString("lecteur"));
        QCOMPARE(text(state().WolTargetMask), QString("255.255.0.0"));
        QCOMPARE(text(prefs.zone_vacances), QString("B"));
        QVERIFY(prefs.pas_allumage_feries);
        // Nothing is written before the exit.
        QCOMPARE(m_folder->readBytes("vtl.ini"), fileBefore);

        // Closed by its frame: nothing changes.
        whenOpened<vt::TPrefs>(
            [](vt::TPrefs& p) { p.findChild<QLineEdit*>("Eocs_pwd")->setText("autre"); });
        vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
        trigger("Prfrences1");
        QCOMPARE(text(prefs.ocs_pwd), QString("ocs-secret"));
        // The password is shown in clear, as the preferences file keeps it.
        QCOMPARE(m_app->preferencesDialog().findChild<QLineEdit*>("Eocs_pwd")->echoMode(),
                 QLineEdit::Normal);
    }

    // The real shutdown tool on a loopback machine, with a stand-in for Samba's net.
    void shutdownAccountIsWrittenForItsOwnerAndItsTrialSaysWhatTheToolFound() {
        QVERIFY(m_folder->linkTool("vt_shutdown"));
        const std::string netFolder = m_folder->root() + "/net-bin";
        std::filesystem::create_directories(netFolder);
        m_folder->writeBytes(netFolder + "/net",
                             "#!/bin/sh\nif [ -n \"$FAKE_NET_REFUSES\" ]; then\n"
                             "  echo 'Could not connect: NT_STATUS_LOGON_FAILURE'; exit 255; fi\n"
                             "echo 'Abort shutdown of remote machine succeeded'\n");
        std::filesystem::permissions(netFolder + "/net", std::filesystem::perms::owner_all);
        const std::string searchFolders = netFolder + ":" + qgetenv("PATH").toStdString();
        vt::test::ScopedEnvironment searchPath("PATH", searchFolders.c_str());
        vt::test::ScopedEnvironment file("VANTOREL_SMB_AUTH", m_folder->path("smb.auth").c_str());
        m_folder->writeLines("localGM", {"SALLE1"});
        m_folder->writeLines("SALLE1", {"SALLE1-01*", "localhost"});
        start();
        state().CurrentGroup = "SALLE1";
        QStringList answers;
        whenOpened<vt::TPrefs>([&answers, this](vt::TPrefs& prefs) {
            prefs.findChild<QLineEdit*>("domaine_arret_pref")->setText(" COLLEGE ");
            prefs.findChild<QLineEdit*>("utilisateur_arret_pref")->setText("vtarret");
            prefs.findChild<QLineEdit*>("mdp_arret_pref")->setText("Mot2passe");
            {
                vt::test::ScopedEnvironment refuses("FAKE_NET_REFUSES", "1");
                answers << tryShutdownAccount(prefs, "shutdown-account-refused.png");
            }
            answers << tryShutdownAccount(prefs, "shutdown-account-accepted.png");
        });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        trigger("Prfrences1");
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
        whenOpened<vt::TPrefs>([&shown](vt::TPrefs& prefs) {
            shown << prefs.findChild<QLineEdit*>("utilisateur_arret_pref")->text()
                  << prefs.findChild<QLineEdit*>("mdp_arret_pref")->text();
        });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        trigger("Prfrences1");
        QCOMPARE(shown, (QStringList{"vtarret", ""}));
        QCOMPARE(m_folder->readBytes("smb.auth"), saved);
    }

    void cancelledGroupSourceKeepsTheSessionsControllerAndRebuildsTheRows() {
        m_folder->writeLines("localGM", {"SALLE-A"});
        start();
        const std::optional<std::string> fileBefore = m_folder->readBytes("vtl.ini");
        vt::test::ScopedEnvironment logon("LOGONSERVER", "\\\\DC01");
        QString field;
        whenOpened<vt::TsearchPDC>([&field](vt::TsearchPDC& d) {
            field = d.Edit1()->text();
            d.Memo1()->setPlainText("SALLE-A\nSALLE-B");
        });
        m_folder->writeLines("localGM", {"SALLE-A", "SALLE-C"});
        vt::DialogAnswers::preset({QDialog::Rejected, std::nullopt});
        trigger("Dfinir1");
        QCOMPARE(vt::DialogAnswers::asked().back().caption, QString("searchPDC"));
        QCOMPARE(field, QString("\\\\DC01"));
        QCOMPARE(text(state().Prefs.pdc), QString("\\\\DC01"));
        QCOMPARE(m_folder->readBytes("vtl.ini"), fileBefore);
        // The rows are rebuilt all the same, from the groups as they are on disk.
        QCOMPARE(rowCaptions(), (QStringList{"SALLE-A", "SALLE-C", "Autres"}));
        QCOMPARE(text(state().CurrentGroup), QString("SALLE-A"));
    }

    void confirmedGroupSourceWritesEverythingAndRowsFollow() {
        m_folder->writeLines("localGM", {"SALLE-A"});
        m_folder->writeLines("SALLE-A", {"PC01", "PC02*"});
        m_folder->writeLines("vtl.ini", {"esu=true", "ocs_server=10.0.0.5"});
        // The ESU group list on the controller's share.
        const std::string esu = m_folder->uncRoot() + "SRV/esu/Base";
        std::filesystem::create_directories(esu);
        m_folder->writeBytes(esu + "/ListeGM.xml",
                             "<GM nom=\"SALLE-ESU\"><Machine>pc51</Machine></GM>");
        start(false);
        whenOpened<vt::TsearchPDC>(
            [](vt::TsearchPDC& d) {
                QVERIFY(d.ESUcheck()->isChecked());
                QCOMPARE(d.Memo1()->toPlainText(), QString("SALLE-A"));
                d.Edit1()->setText("SRV");
                d.Memo1()->setPlainText("SALLE-A\nsalle-b\n");
            },
            Picture::AsTyped);
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        trigger("ImporterlesgroupesESU1");
        const std::vector<std::string> prefs = m_folder->readLines("vtl.ini");
        QCOMPARE(prefs.size(), vt::preferencesFileLines(state(), vt::WindowGeometry{}).size());
        QCOMPARE(text(prefs[0]), QString("pdc=\\\\SRV"));
        QCOMPARE(text(prefs[1]), QString("esu=true"));
        QCOMPARE(text(prefs[16]), QString("ocs_server=10.0.0.5"));
        QCOMPARE(m_folder->readLines("localGM"), (std::vector<std::string>{"SALLE-A", "salle-b"}));
        QCOMPARE(m_folder->readLines("SALLE-A"), (std::vector<std::string>{"PC01", "PC02*"}));
        QCOMPARE(m_folder->readBytes("salle-b"), std::optional<std::string>(""));
        QCOMPARE(m_folder->readLines("SALLE-ESU"), std::vector<std::string>{"PC51"});
        QCOMPARE(rowCaptions(), (QStringList{"SALLE-ESU", "SALLE-A", "salle-b", "Autres"}));
        QVERIFY(vt::test::unansweredDialogs().isEmpty());

        // Unticked: "false", written at once; the ESU group is gone from the rows.
        whenOpened<vt::TsearchPDC>([](vt::TsearchPDC& d) { d.ESUcheck()->setChecked(false); });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        trigger("Dfinir1");
        QCOMPARE(text(m_folder->readLines("vtl.ini")[1]), QString("esu=false"));
        QCOMPARE(rowCaptions(), (QStringList{"SALLE-A", "salle-b", "Autres"}));
    }

    void linesThatCannotBeGroupsAreSaidAndGetNoFile() {
        start();
        whenOpened<vt::TsearchPDC>(
            [](vt::TsearchPDC& d) { d.Memo1()->setPlainText("SALLE-A\n\na/b\nvtl.ini\nSALLE-B"); });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});
        trigger("Dfinir1");
        const std::vector<vt::AskedDialog>& asked = vt::DialogAnswers::asked();
        QCOMPARE(asked.size(), std::size_t(2));
        QCOMPARE(asked[1].text, QString("Ces lignes de la liste n'ont pas donné de groupe :\n"
                                        "ligne 2 «  » : ligne vide\n"
                                        "ligne 3 « a/b » : nom de fichier impossible\n"
                                        "ligne 4 « vtl.ini » : nom d'un fichier du programme"));
        QVERIFY(!m_folder->fileNames().contains("a"));
        QCOMPARE(m_folder->readBytes("SALLE-B"), std::optional<std::string>(""));
        QCOMPARE(rowCaptions(), (QStringList{"SALLE-A", "SALLE-B", "Autres"}));
    }

    void tabLeavesTheGroupList() {
        start();
        vt::TsearchPDC& dialog = m_app->groupSourceDialog();
        QCOMPARE(dialog.Edit1()->text(), QString("\\\\"));
        // A tab in a group name would make no usable file name.
        QVERIFY(dialog.Memo1()->tabChangesFocus());
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_qtest.moc"
