#include "dialogs/shutdown_account_box.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/file_error.h"
#include "core/shutdown_account.h"
#include "platform/shutdown_credentials.h"
#include "qt/controls.h"

namespace vt {

namespace {

constexpr int kCaptionWidth = 170;
constexpr int kFieldLeft = kCaptionWidth + 24;
constexpr int kFieldWidth = 200;
constexpr int kLinePitch = 36;
constexpr int kFirstLine = 28;
// A machine that does not answer is given up well before the tool's own 30 s.
constexpr const char* kTrialTimeLimitSeconds = "15";
constexpr const char* kSavedPasswordHint = "enregistré, laisser vide pour le garder";

ShutdownAccount typedAccount(const QLineEdit* domain, const QLineEdit* user,
                             const QLineEdit* password) {
    return {domain->text().toStdString(), user->text().toStdString(),
            password->text().toStdString()};
}

}  // namespace

ShutdownAccountBox::ShutdownAccountBox(const VtlVar& state, QWidget* parent)
    : QGroupBox("Compte pour l'arrêt à distance", parent),
      m_state(state),
      m_native(platform::createNativePlatform()) {
    setObjectName("GroupBox7");
    m_domain = addField("domaine_arret_pref", "Domaine :", 0);
    m_user = addField("utilisateur_arret_pref", "Utilisateur :", 1);
    m_password = addField("mdp_arret_pref", "Mot de passe :", 2);
    m_password->setEchoMode(QLineEdit::Password);
    const int top = kFirstLine + 3 * kLinePitch;
    m_try = addButton(this, "essai_arret_pref", "Essayer", QRect(16, top, 75, 25));
    m_answer = addLabel(this, "reponse_essai_arret_pref", QString(),
                        QRect(100, top - 2, 451 - 100 - 12, 38));
    m_answer->setWordWrap(true);
    m_answer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(m_try, &QPushButton::clicked, this, &ShutdownAccountBox::tryAccount);
}

ShutdownAccountBox::~ShutdownAccountBox() {
    if (m_trial != nullptr) {
        m_trial->disconnect(this);
        m_trial->kill();
        m_trial->waitForFinished(1000);
    }
}

QLineEdit* ShutdownAccountBox::addField(const char* name, const QString& caption, int line) {
    const int top = kFirstLine + line * kLinePitch;
    QLabel* label =
        addLabel(this, QString(name) + "_label", caption, QRect(16, top + 3, kCaptionWidth, 17));
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->setGeometry(kFieldLeft, top, kFieldWidth, 21);
    label->setBuddy(field);
    return field;
}

std::string ShutdownAccountBox::authenticationFile() const {
    return platform::shutdownAuthenticationFile(m_native->platform().system.executableDirectory());
}

void ShutdownAccountBox::fill() {
    const auto saved = readShutdownAccount(m_native->platform().files, authenticationFile());
    m_domain->setText(QString::fromStdString(saved ? saved->domain : std::string()));
    m_user->setText(QString::fromStdString(saved ? saved->user : std::string()));
    m_password->clear();
    m_password->setPlaceholderText(saved && !saved->password.empty() ? QString(kSavedPasswordHint)
                                                                     : QString());
    if (m_trial == nullptr) {
        m_answer->clear();
    }
}

bool ShutdownAccountBox::save() {
    const ShutdownAccount typed = typedAccount(m_domain, m_user, m_password);
    if (typed.domain.empty() && typed.user.empty() && typed.password.empty()) {
        return true;
    }
    platform::FileSystem& files = m_native->platform().files;
    const std::string path = authenticationFile();
    const auto saved = readShutdownAccount(files, path);
    const ShutdownAccount account = accountToSave(typed, saved);
    if (const std::string refusal = shutdownAccountRefusal(account); !refusal.empty()) {
        showAnswer(QString::fromStdString("Compte non enregistré : " + refusal));
        return false;
    }
    if (saved && shutdownAccountFileText(*saved) == shutdownAccountFileText(account)) {
        return true;
    }
    try {
        saveShutdownAccount(files, path, account);
    } catch (const FileError& error) {
        showAnswer(QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

void ShutdownAccountBox::tryAccount() {
    if (m_trial != nullptr) {
        return;
    }
    platform::FileSystem& files = m_native->platform().files;
    const std::optional<std::string> machine = trialMachine(m_state, files);
    if (!machine) {
        showAnswer("Aucun poste à essayer : choisir d'abord une salle dans la fenêtre principale");
        return;
    }
    const ShutdownAccount account = accountToSave(typedAccount(m_domain, m_user, m_password),
                                                  readShutdownAccount(files, authenticationFile()));
    if (const std::string refusal = shutdownAccountRefusal(account); !refusal.empty()) {
        showAnswer(QString::fromStdString("Essai impossible : " + refusal));
        return;
    }
    // The account as typed, in a folder of the trial's own, which also keeps the trial's
    // line out of the program's "shutdown.log".
    m_trialFolder = std::make_unique<QTemporaryDir>();
    const std::string folder = m_trialFolder->path().toStdString() + "/";
    try {
        saveShutdownAccount(files, folder + platform::kShutdownAuthFileName, account);
    } catch (const FileError& error) {
        showAnswer(QString::fromStdString(error.what()));
        return;
    }
    QString tool =
        QString::fromStdString(m_native->platform().system.executableDirectory()) + "vt_shutdown";
    if (!QFileInfo(tool).isExecutable()) {
        tool = QString::fromStdString(m_state.DataDir) + "vt_shutdown";
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(platform::kShutdownAuthFileVariable,
                       QString::fromStdString(folder + platform::kShutdownAuthFileName));
    // A Kerberos ticket would be used instead of the account being tried.
    environment.insert("KRB5CCNAME", QString::fromStdString("FILE:" + folder + "aucun-ticket"));
    environment.insert("VANTOREL_NET_TIME_LIMIT", kTrialTimeLimitSeconds);

    m_trial = new QProcess(this);
    m_trial->setProcessEnvironment(environment);
    m_trial->setWorkingDirectory(m_trialFolder->path());
    m_trial->setProgram(tool);
    m_trial->setArguments({"-a", "-m", QString::fromStdString("\\\\" + *machine)});
    connect(m_trial, &QProcess::finished, this, [this, name = *machine] { trialEnded(name); });
    connect(m_trial, &QProcess::errorOccurred, this, [this, name = *machine](auto error) {
        if (error == QProcess::FailedToStart) {
            trialEnded(name);
        }
    });
    m_try->setEnabled(false);
    showAnswer(QString::fromStdString("Essai sur " + *machine + "…"));
    m_trial->start();
}

void ShutdownAccountBox::trialEnded(const std::string& machine) {
    const bool ran = m_trial->exitStatus() == QProcess::NormalExit &&
                     m_trial->error() != QProcess::FailedToStart;
    const std::string output = m_trial->readAllStandardOutput().toStdString();
    showAnswer(QString::fromStdString(
        trialAnswer(machine, ran ? m_trial->exitCode() : -1, ran ? output : std::string())));
    m_trial->deleteLater();
    m_trial = nullptr;
    m_trialFolder.reset();
    m_try->setEnabled(true);
}

void ShutdownAccountBox::showAnswer(const QString& answer) {
    m_answer->setText(answer);
}

}  // namespace vt
