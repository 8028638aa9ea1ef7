#include "discovery/scan.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "core/file_error.h"
#include "dialogs/dialog_answers.h"
#include "dialogs/message_box.h"
#include "qt/controls.h"
#include "qt/qt_http_client.h"
#include "qt/tooltip_timing.h"

namespace vt {

namespace {

constexpr std::chrono::milliseconds kHintHideDelay{20000};
constexpr const char* kOpenDialogCaption = "Ouvrir";

std::function<void(TNetScan&)>& openingHook() {
    static std::function<void(TNetScan&)> hook;
    return hook;
}

}  // namespace

TNetScan::TNetScan(VtlVar& state, const Services& services, discovery::BackgroundJobs& jobs,
                   QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_services(services),
      m_http(std::make_unique<QtHttpClient>(services.platform.files)),
      m_http2(std::make_unique<QtHttpClient>(services.platform.files)) {
    setObjectName("NetScan");
    setWindowTitle(discovery::kNetScanCaption);
    buildControls();
    // Jobs and downloads report their errors in a box that does not hold them up.
    m_logic = std::make_unique<discovery::NetScan>(
        state, services, jobs, *m_http, *m_http2, [this](const std::string& message) {
            showFileErrorWithoutWaiting(this, QString::fromStdString(message));
        });
    FormCreate();
}

TNetScan::~TNetScan() = default;

void TNetScan::buildControls() {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(400, 214);

    m_methode = new QGroupBox(QString::fromUtf8(discovery::kMethodCaption), this);
    m_methode->setObjectName("methode");
    m_methode->setGeometry(8, 8, 185, 132);
    m_methodButtons = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(discovery::kMethodItems.size()); ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(discovery::kMethodItems[i]), m_methode);
        item->setObjectName(QString("methode%1").arg(i));
        item->setGeometry(12, 22 + i * 21, 165, 19);
        m_methodButtons->addButton(item, i);
    }
    setMethodIndex(discovery::kCsvMethod);

    addLabel(this, "Label1", "Fichier CSV", QRect(208, 12, 180, 16));
    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName("edit1");
    m_edit1->setGeometry(208, 30, 184, 21);
    QPushButton* browse = addButton(this, "BitBtn1", "Parcourir", QRect(317, 56, 75, 25));
    connect(browse, &QPushButton::clicked, this, &TNetScan::BitBtn1Click);

    addLabel(this, "Label2", "Mot de passe admin pour IPR :", QRect(208, 92, 184, 16));
    m_iprpwd = new QLineEdit(this);
    m_iprpwd->setObjectName("iprpwd");
    m_iprpwd->setEchoMode(QLineEdit::Password);
    m_iprpwd->setGeometry(208, 110, 184, 21);

    QPushButton* run = addButton(this, "Button1", "Lancer l'analyse", QRect(8, 152, 120, 25));
    run->setAutoDefault(false);
    connect(run, &QPushButton::clicked, this, &TNetScan::Button1Click);
    QPushButton* close = addButton(this, "BitBtn2", "Fermer", QRect(317, 152, 75, 25));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_status = new QStatusBar(this);
    m_status->setObjectName("Status");
    m_status->setSizeGripEnabled(false);
    m_status->setGeometry(0, height() - 19, width(), 19);
}

void TNetScan::FormCreate() {
    setToolTipDelays(toolTipShowDelay(), kHintHideDelay);
    // A tooltip ends its lines with line feeds; a carriage return would show as a box.
    QString help = QString::fromStdString(discovery::scanHelpText());
    m_methode->setToolTip(help.replace("\r\n", "\n"));
}

void TNetScan::setOpeningHook(std::function<void(TNetScan&)> hook) {
    openingHook() = std::move(hook);
}

int TNetScan::exec() {
    if (openingHook()) {
        openingHook()(*this);
    }
    if (const auto answer = DialogAnswers::next(windowTitle(), QString())) {
        setResult(answer->result);
        return answer->result;
    }
    return QDialog::exec();
}

int TNetScan::methodIndex() const {
    return m_methodButtons->checkedId();
}

void TNetScan::setMethodIndex(int index) {
    if (QAbstractButton* item = m_methodButtons->button(index)) {
        item->setChecked(true);
        return;
    }
    // No item selected: the group lets every button go only when it is not exclusive.
    m_methodButtons->setExclusive(false);
    for (QAbstractButton* item : m_methodButtons->buttons()) {
        item->setChecked(false);
    }
    m_methodButtons->setExclusive(true);
}

void TNetScan::BitBtn1Click() {
    QString chosen;
    if (const auto answer = DialogAnswers::next(kOpenDialogCaption, QString())) {
        if (answer->result == QDialog::Accepted && answer->text) {
            chosen = *answer->text;
        }
    } else {
        chosen = QFileDialog::getOpenFileName(this, kOpenDialogCaption);
    }
    if (!chosen.isEmpty()) {
        m_edit1->setText(chosen);
    }
}

void TNetScan::Button1Click() {
    discovery::ScanChoice choice;
    choice.method = methodIndex();
    choice.csvPath = m_edit1->text().toStdString();
    choice.routerPassword = m_iprpwd->text().toStdString();
    try {
        m_logic->Button1Click(choice);
    } catch (const FileError& error) {
        showFileError(this, QString::fromUtf8(error.what()));
    }
}

}  // namespace vt
