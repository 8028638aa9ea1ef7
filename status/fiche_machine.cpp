#include "status/fiche_machine.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

#include "core/file_error.h"
#include "dialogs/message_box.h"
#include "dialogs/plain_text_lines.h"
#include "qt/controls.h"
#include "qt/window_style.h"
#include "status/machine_sheet.h"

namespace vt {

namespace {

constexpr int kCaptionLeft = 16;
constexpr int kValueLeft = 120;
constexpr int kValueHeight = 17;

// A computer: a screen on its stand, the keyboard before it.
QPixmap computerPicture() {
    QPixmap picture(105, 105);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 70), 2));
    painter.setBrush(QColor(220, 220, 225));
    painter.drawRoundedRect(QRectF(10, 8, 85, 62), 4, 4);
    QLinearGradient glass(QPointF(16, 14), QPointF(89, 64));
    glass.setColorAt(0, QColor(90, 160, 230));
    glass.setColorAt(1, QColor(20, 60, 140));
    painter.setBrush(glass);
    painter.drawRect(QRectF(16, 14, 73, 50));
    painter.setBrush(QColor(200, 200, 205));
    painter.drawRect(QRectF(45, 70, 15, 10));
    painter.drawRoundedRect(QRectF(30, 80, 45, 6), 2, 2);
    painter.drawRoundedRect(QRectF(8, 90, 89, 11), 2, 2);
    return picture;
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

TficheMachine::TficheMachine(VtlVar& state, const platform::FileSystem& files,
                             status::InventoryExports& exports, QWidget* parent)
    : AnswerableDialog(parent), m_state(state), m_files(files), m_exports(exports) {
    setObjectName("ficheMachine");
    setWindowTitle("fiche Machine");
    setFont(designFont(8));
    setFixedSize(787, 500);

    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setGeometry(8, 8, 105, 105);
    picture->setScaledContents(true);
    picture->setPixmap(computerPicture());

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(128, 8, 651, 105);
    const struct {
        const char* caption;
        const char* name;
        const char* initial;
    } identity[] = {{"nom :", "fiche_nom", "le nom de la machine"},
                    {"os :", "fiche_os", "fiche_os"},
                    {"adresse ip : ", "fiche_ip", "fiche_ip"},
                    {"adresse mac :", "fiche_mac", "fiche_mac"}};
    for (int i = 0; i < 4; ++i) {
        const int top = 10 + i * 23;
        addLabel(panel, QString("Label%1").arg(i + 1), identity[i].caption,
                 QRect(kCaptionLeft, top, 100, kValueHeight));
        addValue(panel, identity[i].name, identity[i].initial,
                 QRect(kValueLeft, top, 520, kValueHeight));
    }

    auto* report = new QGroupBox("Rapport Ocs Inventory", this);
    report->setObjectName("GroupBox1");
    report->setGeometry(8, 124, 771, 86);
    addLabel(report, "Label5", "dernier inventaire :", QRect(kCaptionLeft, 26, 100, 17));
    addValue(report, "fiche_inventaire", "le nom de la machine",
             QRect(kValueLeft, 26, 260, kValueHeight));
    addLabel(report, "Label6", "utilisateur :", QRect(kCaptionLeft, 54, 100, 17));
    addValue(report, "fiche_userid", "fiche_os", QRect(kValueLeft, 54, 260, kValueHeight));
    addLabel(report, "Label7", "Modèle : ", QRect(400, 26, 60, 17));
    addValue(report, "fiche_model", "fiche_ip", QRect(464, 26, 290, kValueHeight));
    addLabel(report, "Label8", "RAM :", QRect(400, 54, 60, 17));
    addValue(report, "fiche_ram", "fiche_mac", QRect(464, 54, 290, kValueHeight));

    auto* software = new QGroupBox("Logiciels installés", this);
    software->setObjectName("GroupBox2");
    software->setGeometry(8, 220, 771, 272);
    m_logiciels = new QPlainTextEdit("fiche_logiciels", software);
    m_logiciels->setObjectName("fiche_logiciels");
    m_logiciels->setGeometry(10, 22, 751, 240);
    m_logiciels->setReadOnly(true);
    m_logiciels->setLineWrapMode(QPlainTextEdit::NoWrap);
}

QLabel* TficheMachine::addValue(QWidget* parent, const char* name, const QString& initial,
                                QRect bounds) {
    QLabel* value = addLabel(parent, name, initial, bounds);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    return value;
}

QLabel* TficheMachine::field(const char* name) const {
    return findChild<QLabel*>(name);
}

QString TficheMachine::prompt() const {
    return QString::fromStdString(m_state.CurrentMachine);
}

void TficheMachine::FormActivate() {
    status::MachineSheetContents sheet;
    try {
        sheet = status::fillMachineSheet(m_state, m_files, m_exports, m_state.CurrentMachine);
    } catch (const FileError& error) {
        showFileError(this, QString::fromUtf8(error.what()));
        return;
    }
    field("fiche_nom")->setText(text(sheet.nom));
    field("fiche_os")->setText(text(sheet.os));
    field("fiche_ip")->setText(text(sheet.ip));
    field("fiche_mac")->setText(text(sheet.mac));
    field("fiche_inventaire")->setText(text(sheet.inventaire));
    field("fiche_userid")->setText(text(sheet.userid));
    field("fiche_model")->setText(text(sheet.model));
    field("fiche_ram")->setText(text(sheet.ram));
    m_logiciels->setPlainText(plainTextOf(sheet.logiciels));
}

}  // namespace vt
