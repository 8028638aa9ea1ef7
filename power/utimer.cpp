#include "power/utimer.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/file_error.h"
#include "dialogs/dialog_answers.h"
#include "dialogs/message_box.h"
#include "dialogs/window_placement.h"
#include "power/no_power_on_days.h"
#include "qt/controls.h"
#include "qt/window_style.h"

namespace vt {

namespace {

constexpr int kWidth = 392;
constexpr int kOkLeft = 304;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kPanelLeft = 8;
constexpr int kFirstDayTop = 80;
constexpr int kDayPitch = 30;
// The next day without power-on sits in the free band above the option panel.
constexpr int kNextDayOffAbovePanel = 24;

constexpr std::array<const char*, 7> kDayBoxNames = {"plundi",    "pmardi",  "pmercredi", "pjeudi",
                                                     "pvendredi", "psamedi", "pdimanche"};
constexpr std::array<const char*, 7> kDayCaptions = {
    "lundi   à : ",  "mardi   à : ",  "mercredi   à : ", "jeudi   à : ",
    "vendredi   à ", "samedi   à : ", "dimanche   à : "};

std::function<void(Tadvanced_timer&)>& openingHook() {
    static std::function<void(Tadvanced_timer&)> hook;
    return hook;
}

QLineEdit* addEdit(QWidget* parent, const QString& name, QRect bounds) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(bounds);
    return edit;
}

}  // namespace

Tadvanced_timer::Tadvanced_timer(VtlVar& state, platform::FileSystem& files, QWidget* parent)
    : QDialog(parent), m_state(state), m_files(files) {
    setObjectName("advanced_timer");
    setWindowTitle(QString::fromUtf8(power::kScheduleEditorCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(designFont(8));

    m_title = addLabel(this, "StaticText1", "Le groupe est programmé le :", QRect(8, 8, 300, 17));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);

    m_tlj = new QCheckBox("Tous les jours à :", this);
    m_tlj->setObjectName("tlj");
    m_tlj->setGeometry(16, 44, 113, 17);
    m_tlj->setChecked(true);
    // A click only: the fill ticks the box itself and applies the layout afterwards.
    connect(m_tlj, &QCheckBox::clicked, this, &Tadvanced_timer::tljClick);

    m_heure = addEdit(this, "PHeure", QRect(136, 42, 41, 21));
    m_heure->setText("0:00");
    m_durationLabel = addLabel(this, "Label1", "pour une durée de  : ", QRect(188, 44, 108, 17));
    m_duree = addEdit(this, "Pduree", QRect(300, 42, 33, 21));
    m_unitLabel = addLabel(this, "Label2", "mn", QRect(340, 44, 20, 17));

    for (std::size_t d = 0; d < m_dayBoxes.size(); ++d) {
        const int top = kFirstDayTop + static_cast<int>(d) * kDayPitch;
        m_dayLabels[d] = addLabel(this, QString("StaticText%1").arg(d + 2),
                                  QString::fromUtf8(kDayCaptions[d]), QRect(40, top + 2, 92, 17));
        m_dayBoxes[d] = addEdit(this, kDayBoxNames[d], QRect(136, top, 41, 21));
        m_dayLabels[d]->setBuddy(m_dayBoxes[d]);
    }

    m_panel = new QFrame(this);
    m_panel->setObjectName("Panel1");
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel->resize(kWidth - 2 * kPanelLeft, 41);
    QLabel* option = addLabel(m_panel, "Label3", "Option", QRect(8, 12, 36, 17));
    QPalette red = option->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    option->setPalette(red);
    m_synch = new QCheckBox("synchroniser tous les groupes avec ces horaires", m_panel);
    m_synch->setObjectName("option_synch");
    m_synch->setGeometry(52, 11, 316, 19);

    m_nextDayOff = addLabel(this, "prochain_jour_sans_allumage", QString(),
                            QRect(kPanelLeft, 0, kWidth - 2 * kPanelLeft, 17));

    m_ok = new QPushButton("OK", this);
    m_ok->setObjectName("bouton_ok");
    m_ok->resize(kButtonWidth, kButtonHeight);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &Tadvanced_timer::bouton_okClick);

    // Escape and the close box are the dialog's own reject, which "Annuler" shares.
    m_cancel = new QPushButton("Annuler", this);
    m_cancel->setObjectName("bouton_annule");
    m_cancel->resize(kButtonWidth, kButtonHeight);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    applyLayout(true);
    FormCreate();
}

void Tadvanced_timer::setPlacement(std::function<QPoint()> topLeft) {
    m_placement = std::move(topLeft);
    place();
}

void Tadvanced_timer::setOpeningHook(std::function<void(Tadvanced_timer&)> hook) {
    openingHook() = std::move(hook);
}

void Tadvanced_timer::FormCreate() {
    place();
}

void Tadvanced_timer::place() {
    if (m_placement) {
        // Beside a main window that stands partly off the screen, the editor stays on it.
        move(reachablePlace(QRect(m_placement(), size())).topLeft());
    }
}

void Tadvanced_timer::FormActivate() {
    const power::ScheduleEditorContents filled =
        power::fillScheduleEditor(m_state, m_files, m_tlj->isChecked());
    m_title->setText(QString::fromStdString(filled.title));
    m_durationLabel->setVisible(filled.durationVisible);
    m_duree->setVisible(filled.durationVisible);
    m_unitLabel->setVisible(filled.durationVisible);
    m_tlj->setEnabled(filled.everyDayEnabled);
    m_tlj->setChecked(filled.everyDay);
    m_heure->setText(QString::fromStdString(filled.time));
    m_duree->setText(QString::fromStdString(filled.duration));
    for (std::size_t d = 0; d < m_dayBoxes.size(); ++d) {
        m_dayBoxes[d]->setText(QString::fromStdString(filled.days[d]));
    }
    m_synch->setChecked(filled.synchronise);
    const QDate date = QDate::currentDate();
    const platform::LocalDateTime today =
        m_clock ? m_clock->now() : platform::LocalDateTime{date.year(), date.month(), date.day()};
    m_nextDayOff->setText(QString::fromStdString(power::nextDayWithoutPowerOnLine(
        m_state, m_files, QCoreApplication::applicationDirPath().toStdString() + "/",
        power::calendarDayOf(today))));
    place();
    applyLayout(filled.everyDay);
}

void Tadvanced_timer::tljClick() {
    applyLayout(m_tlj->isChecked());
}

void Tadvanced_timer::applyLayout(bool everyDay) {
    const power::ScheduleEditorLayout layout = power::scheduleEditorLayout(everyDay);
    for (std::size_t d = 0; d < m_dayBoxes.size(); ++d) {
        m_dayLabels[d]->setVisible(layout.dayBoxesVisible);
        m_dayBoxes[d]->setVisible(layout.dayBoxesVisible);
    }
    m_heure->setEnabled(layout.everyDayTimeEnabled);
    setFixedSize(kWidth, layout.height);
    m_ok->move(kOkLeft, layout.okTop);
    m_cancel->move(layout.cancelLeft, layout.cancelTop);
    m_panel->move(kPanelLeft, layout.panelTop);
    m_nextDayOff->move(kPanelLeft, layout.panelTop - kNextDayOffAbovePanel);
}

power::ScheduleEditorContents Tadvanced_timer::contents() const {
    power::ScheduleEditorContents result;
    result.title = m_title->text().toStdString();
    result.durationVisible = !m_duree->isHidden();
    result.everyDayEnabled = m_tlj->isEnabled();
    result.everyDay = m_tlj->isChecked();
    result.time = m_heure->text().toStdString();
    result.duration = m_duree->text().toStdString();
    for (std::size_t d = 0; d < m_dayBoxes.size(); ++d) {
        result.days[d] = m_dayBoxes[d]->text().toStdString();
    }
    result.synchronise = m_synch->isChecked();
    result.layout = power::scheduleEditorLayout(result.everyDay);
    return result;
}

bool Tadvanced_timer::bouton_okClick() {
    power::ScheduleEditorContents edited = contents();
    // A time that can never fire is refused while the dialog still holds what was typed.
    if (const auto refusal = power::prepareScheduleEditorSave(m_state, edited)) {
        showMessage(this, QString::fromStdString(*refusal));
        return false;
    }
    try {
        power::saveScheduleEditor(m_state, m_files, edited);
    } catch (const FileError& error) {
        // The dialog stays open so that what was typed is not lost with the failed save.
        showFileError(this, QString::fromUtf8(error.what()));
        return false;
    }
    accept();
    return true;
}

int Tadvanced_timer::run() {
    FormActivate();
    if (openingHook()) {
        openingHook()(*this);
    }
    if (const auto answer = DialogAnswers::next(windowTitle(), m_title->text())) {
        if (answer->result == QDialog::Accepted && !bouton_okClick()) {
            setResult(QDialog::Rejected);
            return QDialog::Rejected;
        }
        setResult(answer->result);
        return answer->result;
    }
    return QDialog::exec();
}

int Tadvanced_timer::exec() {
    return run();
}

}  // namespace vt
