#include "dialogs/uprefs.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/preference_fields.h"
#include "dialogs/shutdown_account_box.h"
#include "qt/controls.h"
#include "qt/window_style.h"

namespace vt {

namespace {

constexpr int kBoxWidth = 451;
constexpr int kLeftColumn = 16;
constexpr int kRightColumn = kLeftColumn + kBoxWidth + 17;
constexpr int kCaptionWidth = 170;
constexpr int kFieldLeft = kCaptionWidth + 24;
constexpr int kFieldHeight = 21;
constexpr int kLinePitch = 36;
constexpr int kFirstLine = 28;

QGroupBox* addBox(QWidget* parent, const char* name, const QString& caption, QRect bounds) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(bounds);
    return box;
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::string text(const QLineEdit* field) {
    return field->text().toStdString();
}

}  // namespace

TPrefs::TPrefs(VtlVar& state, QWidget* parent) : AnswerableDialog(parent), m_state(state) {
    setObjectName("Prefs");
    setWindowTitle("Prefs");
    setFont(designFont(8));
    setFixedSize(951, 685);

    QGroupBox* shutdown =
        addBox(this, "GroupBox1", "Shutdown", QRect(kLeftColumn, 16, kBoxWidth, 110));
    m_shutdownWait =
        addField(shutdown, "shutdown_wait_pref", "Durée d'attente Shutdown :", 0, 60, "s");
    m_shutdownComment =
        addField(shutdown, "shutdown_comment_pref", "Commentaire Shutdown :", 1, 240);

    QGroupBox* wol =
        addBox(this, "GroupBox2", "Wake-on-lan", QRect(kRightColumn, 16, kBoxWidth, 146));
    m_ip = addField(wol, "IP_pref", "IP cible du WOL :", 0, 140);
    m_mask = addField(wol, "masque_pref", "Masque cible du WOL :", 1, 140);
    m_offset = addField(wol, "offset_pref", "Offset WOL", 2, 60, "mn");

    QGroupBox* ocs =
        addBox(this, "GroupBox3", "OCS Inventory", QRect(kLeftColumn, 190, kBoxWidth, 146));
    m_ocsServer = addField(ocs, "Eocs_server", "Adresse IP du serveur  :", 0, 200);
    m_ocsLogin = addField(ocs, "Eocs_login", "Login  : ", 1, 200);
    // Shown in clear, as the administrator typed it and as "vtl.ini" keeps it.
    m_ocsPassword = addField(ocs, "Eocs_pwd", "Mot de passe  :", 2, 200);

    QGroupBox* ipr = addBox(this, "GroupBox4", "IPR", QRect(kRightColumn, 190, kBoxWidth, 110));
    m_iprUrl = addField(ipr, "url_ipr_prefs", "URL  :", 0, 240);
    m_iprLogin = addField(ipr, "login_ipr_prefs", "login  : ", 1, 200);

    QGroupBox* holidays = addBox(this, "GroupBox5", "Vacances et jours fériés",
                                 QRect(kRightColumn, 320, kBoxWidth, 110));
    QLabel* zoneLabel =
        addLabel(holidays, "zone_vacances_pref_label",
                 "Zone de vacances scolaires :", QRect(16, kFirstLine + 3, kCaptionWidth, 17));
    m_schoolZone = new QComboBox(holidays);
    m_schoolZone->setObjectName("zone_vacances_pref");
    m_schoolZone->setGeometry(kFieldLeft, kFirstLine, 100, kFieldHeight);
    // The item's data is what "vtl.ini" keeps; no zone keeps every power-on.
    m_schoolZone->addItem("Aucune", QString());
    for (const char* zone : {"A", "B", "C"}) {
        m_schoolZone->addItem(QString("Zone ") + zone, QString(zone));
    }
    zoneLabel->setBuddy(m_schoolZone);
    m_publicHolidays = new QCheckBox("Pas d'allumage les jours fériés", holidays);
    m_publicHolidays->setObjectName("feries_pref");
    m_publicHolidays->setGeometry(16, kFirstLine + kLinePitch, 300, 19);

    QGroupBox* energy = addBox(this, "GroupBox6", "Consommation électrique",
                               QRect(kLeftColumn, 350, kBoxWidth, 110));
    m_watts = addField(energy, "puissance_pref", "Puissance moyenne d'un poste (W)", 0, 60);
    m_price = addField(energy, "prix_kwh_pref", "Prix du kWh (€) :", 1, 60);

    m_shutdownAccount = new ShutdownAccountBox(state, this);
    m_shutdownAccount->setGeometry(kRightColumn, 446, kBoxWidth, 180);

    QPushButton* ok = addButton(this, "BitBtn1", "OK", QRect(438, 645, 75, 25));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TPrefs::confirmAndAccept);
}

QLineEdit* TPrefs::addField(QWidget* box, const char* name, const QString& caption, int line,
                            int width, const QString& unit) {
    const int top = kFirstLine + line * kLinePitch;
    QLabel* label =
        addLabel(box, QString(name) + "_label", caption, QRect(16, top + 3, kCaptionWidth, 17));
    auto* field = new QLineEdit(box);
    field->setObjectName(name);
    field->setGeometry(kFieldLeft, top, width, kFieldHeight);
    label->setBuddy(field);
    if (!unit.isEmpty()) {
        addLabel(box, QString(name) + "_unit", unit,
                 QRect(kFieldLeft + width + 8, top + 3, 30, 17));
    }
    return field;
}

void TPrefs::FormActivate() {
    const PreferenceFields fields = preferenceFieldsOf(m_state);
    m_ip->setText(text(fields.ip));
    m_mask->setText(text(fields.mask));
    m_shutdownWait->setText(text(fields.shutdownWait));
    m_shutdownComment->setText(text(fields.shutdownComment));
    m_offset->setText(text(fields.offset));
    m_ocsLogin->setText(text(fields.ocsLogin));
    m_ocsPassword->setText(text(fields.ocsPassword));
    m_ocsServer->setText(text(fields.ocsServer));
    m_iprLogin->setText(text(fields.iprLogin));
    m_iprUrl->setText(text(fields.iprUrl));
    m_schoolZone->setCurrentIndex(std::max(0, m_schoolZone->findData(text(fields.schoolZone))));
    m_publicHolidays->setChecked(fields.noPowerOnPublicHolidays);
    m_watts->setText(text(fields.wattsPerMachine));
    m_price->setText(text(fields.pricePerKwh));
    m_shutdownAccount->fill();
}

void TPrefs::BitBtn1Click() {
    PreferenceFields fields;
    fields.ip = text(m_ip);
    fields.mask = text(m_mask);
    fields.shutdownWait = text(m_shutdownWait);
    fields.shutdownComment = text(m_shutdownComment);
    fields.offset = text(m_offset);
    fields.ocsLogin = text(m_ocsLogin);
    fields.ocsPassword = text(m_ocsPassword);
    fields.ocsServer = text(m_ocsServer);
    fields.iprLogin = text(m_iprLogin);
    fields.iprUrl = text(m_iprUrl);
    fields.schoolZone = m_schoolZone->currentData().toString().toStdString();
    fields.noPowerOnPublicHolidays = m_publicHolidays->isChecked();
    fields.wattsPerMachine = text(m_watts);
    fields.pricePerKwh = text(m_price);
    takePreferenceFields(m_state, fields);
}

bool TPrefs::confirm() {
    BitBtn1Click();
    return m_shutdownAccount->save();
}

}  // namespace vt
