#include "status/machines.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include "core/file_error.h"
#include "core/utils.h"
#include "dialogs/message_box.h"
#include "dialogs/window_placement.h"
#include "discovery/background_jobs.h"
#include "qt/controls.h"
#include "qt/led_images.h"
#include "qt/window_style.h"
#include "status/fiche_machine.h"
#include "status/inventory.h"
#include "status/machine_sheet.h"
#include "status/machine_status.h"

namespace vt {

namespace {

constexpr const char* kRowProperty = "row";
constexpr int kRowHeight = 22;
constexpr int kLedLeft = 22;
constexpr int kLedSize = 17;
constexpr int kNameLeft = 60;
// The name takes the room up to the window's edge, or up to the first inventory column.
constexpr int kNameWidth = status::kNormalWidth - kNameLeft - 4;
constexpr int kNameWidthBesideInventory = 88;
constexpr std::array<int, 4> kInventoryLefts = {150, 312, 405, 520};
constexpr std::array<int, 4> kInventoryWidths = {160, 91, 113, 100};
constexpr int kTitleTop = 16;
constexpr int kButtonTop = 6;
constexpr int kButtonLeftNormal = 180;
constexpr int kButtonLeftInventory = 595;
// Room left on the screen for the window's title bar above it and its frame below it.
constexpr int kTitleBarAllowance = 30;
constexpr int kBottomFrameAllowance = 10;
constexpr int kStatusFrameAllowance = kTitleBarAllowance + kBottomFrameAllowance;

// A text cut at the label's edge is read whole in its tooltip.
void showWholeTextInToolTip(QLabel* label) {
    const bool cut = label->fontMetrics().horizontalAdvance(label->text()) > label->width();
    label->setToolTip(cut ? plainToolTip(label->text()) : QString());
}

// The place reachable, and raised when the window would reach below the screen's bottom
// (a large group, whose rows then scroll).
QRect placeOnScreen(const QRect& wanted) {
    QRect place = reachablePlace(wanted);
    const QScreen* screen = QGuiApplication::screenAt(place.topLeft());
    if (screen == nullptr) {
        return place;
    }
    const QRect area = screen->availableGeometry();
    if (place.bottom() > area.bottom()) {
        place.moveTop(std::max(area.top() + kTitleBarAllowance,
                               area.bottom() - kBottomFrameAllowance - place.height()));
    }
    return place;
}

QLabel* addTitle(QWidget* parent, const char* name, const QString& text, int left, int width) {
    QLabel* title = addLabel(parent, name, text, QRect(left, kTitleTop, width, 17));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    return title;
}

}  // namespace

std::array<QWidget*, 6> TEtatMachine::Row::controls() const {
    return {led, name, inventory[0], inventory[1], inventory[2], inventory[3]};
}

TEtatMachine::TEtatMachine(VtlVar& state, const Services& services, const LedImages& leds,
                           discovery::BackgroundJobs& jobs, status::InventoryExports& exports,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_state(state),
      m_services(services),
      m_leds(leds),
      m_jobs(jobs),
      m_exports(exports),
      m_history(state, services) {
    setObjectName("EtatMachine");
    setWindowTitle("Information postes");
    setFont(designFont(8));

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName("rowScroll");
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(false);
    m_content = new QWidget;
    m_content->setObjectName("rowArea");
    m_scroll->setWidget(m_content);

    addTitle(m_content, "Label1", "Etat", 16, 40);
    addTitle(m_content, "Label2", "poste", 64, 80);
    m_inventoryTitles = {
        addTitle(m_content, "Label3", "Système d'exploitation", 152, 158),
        addTitle(m_content, "Label4", "adresse IP", 312, 86),
        addTitle(m_content, "Label5", "dernière connexion", 400, 118),
        addTitle(m_content, "Label6", "Utilisateur", 520, 100),
    };
    showInventoryTitles(false);

    m_button = addButton(m_content, "btn_ocs", ">", QRect(kButtonLeftNormal, kButtonTop, 23, 20));
    QFont bold = m_button->font();
    bold.setBold(true);
    m_button->setFont(bold);
    m_button->setToolTip("Inventaire des postes (hardware.ocs)");
    connect(m_button, &QPushButton::clicked, this, &TEtatMachine::btn_ocsClick);

    m_timer = new QTimer(this);
    m_timer->setObjectName("TimerMachines");
    m_timer->setInterval(status::kRefreshInterval);
    connect(m_timer, &QTimer::timeout, this, &TEtatMachine::TimerMachinesTimer);

    FormCreate();
}

TEtatMachine::~TEtatMachine() = default;

void TEtatMachine::setPlacement(std::function<QPoint()> mainWindowCorner) {
    m_mainWindowCorner = std::move(mainWindowCorner);
}

void TEtatMachine::setMachineSheet(TficheMachine* sheet) {
    m_sheet = sheet;
}

void TEtatMachine::FormCreate() {
    m_rows.clear();
    m_inventoryView = false;
    m_contentWidth = status::kNormalWidth;
    m_contentHeight = status::statusWindowHeight(0);
    fitToContent();
}

void TEtatMachine::open() {
    m_lastFailure.clear();
    if (isVisible() && isActiveWindow()) {
        FormActivate();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TEtatMachine::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            FormActivate();
        } else {
            FormDeactivate();
        }
    }
}

void TEtatMachine::FormActivate() {
    // The catch-all group is no room: nothing to show or ping. The rows of the group shown
    // before stay in sight until an activation rebuilds them, so they go now.
    if (m_state.CurrentGroup == m_state.OtherGroupName) {
        releaseRows();
        m_contentHeight = status::statusWindowHeight(0);
        fitToContent();
        return;
    }
    const std::string group = m_state.CurrentGroup;
    setWindowTitle(QString::fromStdString("Salle " + group));
    releaseRows();

    std::vector<std::string> lines;
    try {
        lines = status::machineRows(LoadGroupMachines(m_services.platform.files, group));
    } catch (const FileError& error) {
        reportFailure(error.what());
        return;
    }
    m_contentHeight = status::statusWindowHeight(lines.size());
    fitToContent();
    if (m_mainWindowCorner) {
        const QPoint corner =
            m_mainWindowCorner() + QPoint(status::kRightOfMainWindow, status::kBelowMainWindow);
        setGeometry(placeOnScreen(QRect(corner, size())));
    }
    m_rows.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        addRow(i, lines[i]);
    }
    launchPings(lines);
    showInventoryTitles(false);
    m_timer->start();
    getOCSinfo();
}

void TEtatMachine::FormDeactivate() {
    // The rows stay in sight with the colours they had; the next activation rebuilds them.
    m_timer->stop();
}

void TEtatMachine::TimerMachinesTimer() {
    if (m_state.CurrentGroup == m_state.OtherGroupName) {
        return;
    }
    try {
        launchPings(status::machineRows(
            LoadGroupMachines(m_services.platform.files, m_state.CurrentGroup)));
    } catch (const FileError& error) {
        reportFailure(error.what());
    }
}

void TEtatMachine::ExecReadAlive(discovery::JobPoll& job) {
    // An inactive window leaves its jobs waiting; they are read once it is active again.
    if (!m_timer->isActive()) {
        return;
    }
    const std::optional<status::PingAnswer> answer =
        status::readPingAnswer(job, m_services.console);
    if (!answer) {
        return;
    }
    if (const auto row = status::rowOfPingAnswer(rowLines(), answer->name)) {
        m_rows[*row].led->setPixmap(answer->answered ? m_leds.LedGreen : m_leds.LedRed);
        m_history.observe(m_state.CurrentGroup, m_rows[*row].line, answer->answered,
                          energy::ObservationSource::StatusWindow);
    }
}

void TEtatMachine::HostClick(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    m_state.CurrentMachine = m_rows[static_cast<std::size_t>(row)].line;
    ++m_clickDepth;
    if (m_sheet != nullptr) {
        m_sheet->exec();
    }
    --m_clickDepth;
    if (m_clickDepth == 0) {
        deleteReleasedControls();
    }
}

void TEtatMachine::btn_ocsClick() {
    m_inventoryView = !m_inventoryView;
    // Without the export the view cannot change: the user is told why the button did nothing.
    if (m_inventoryView && !m_services.platform.files.exists(status::kHardwareExport)) {
        m_services.console.appendLine(status::kNoHardwareExport);
        showMessage(this, QString::fromUtf8(status::kNoHardwareExport));
    }
    getOCSinfo();
}

void TEtatMachine::getOCSinfo() {
    platform::FileSystem& files = m_services.platform.files;
    if (m_inventoryView) {
        const status::HardwareInventory* inventory = nullptr;
        try {
            inventory = m_exports.hardware(files);
        } catch (const FileError& error) {
            reportFailure(error.what());
            return;
        }
        // Without an export the window keeps its view; the next press switches it off.
        if (inventory == nullptr) {
            return;
        }
        m_contentWidth = status::kInventoryWidth;
        fitToContent();
        for (Row& row : m_rows) {
            fitNameLabel(row.name);
            const std::string* record = inventory->recordOf(row.line);
            if (record == nullptr) {
                continue;
            }
            const std::array<std::string, 4> values = {
                status::shownSystemName(status::inventoryField(*record, status::kSystemField)),
                status::inventoryField(*record, status::kAddressField),
                status::inventoryField(*record, status::kLastInventoryField),
                status::inventoryField(*record, status::kUserField)};
            for (std::size_t c = 0; c < values.size(); ++c) {
                row.inventory[c]->setText(QString::fromStdString(values[c]));
                showWholeTextInToolTip(row.inventory[c]);
                row.inventory[c]->show();
            }
        }
        showInventoryTitles(true);
        m_button->move(kButtonLeftInventory, kButtonTop);
        m_button->setText("<");
        return;
    }
    m_contentWidth = status::kNormalWidth;
    fitToContent();
    for (Row& row : m_rows) {
        for (QLabel* label : row.inventory) {
            label->hide();
        }
        fitNameLabel(row.name);
    }
    showInventoryTitles(false);
    m_button->move(kButtonLeftNormal, kButtonTop);
    m_button->setText(">");
}

QLabel* TEtatMachine::inventoryLabel(int row, int column) const {
    return m_rows.at(static_cast<std::size_t>(row)).inventory.at(static_cast<std::size_t>(column));
}

bool TEtatMachine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = qobject_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && label != nullptr &&
            label->rect().contains(mouse->position().toPoint())) {
            HostClick(label->property(kRowProperty).toInt());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TEtatMachine::addRow(std::size_t index, const std::string& line) {
    const int top = status::rowTop(index);
    Row row;
    row.line = line;
    row.led = new QLabel(m_content);
    row.led->setObjectName(QString("led%1").arg(index));
    row.led->setGeometry(kLedLeft, top, kLedSize, kLedSize);
    row.led->setPixmap(m_leds.LedGrey);

    row.name = addLabel(m_content, QString("poste%1").arg(index), QString::fromStdString(line),
                        QRect(kNameLeft, top, kNameWidth, kRowHeight));
    row.name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    row.name->setCursor(Qt::PointingHandCursor);
    row.name->setProperty(kRowProperty, static_cast<int>(index));
    row.name->installEventFilter(this);
    fitNameLabel(row.name);

    const char* kinds[] = {"os", "ip", "connexion", "utilisateur"};
    for (std::size_t c = 0; c < row.inventory.size(); ++c) {
        row.inventory[c] =
            addLabel(m_content, QString("%1%2").arg(kinds[c]).arg(index), QString(),
                     QRect(kInventoryLefts[c], top, kInventoryWidths[c], kRowHeight));
        row.inventory[c]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        row.inventory[c]->hide();
    }
    row.led->show();
    row.name->show();
    m_rows.push_back(std::move(row));
}

void TEtatMachine::fitNameLabel(QLabel* name) const {
    name->resize(m_inventoryView ? kNameWidthBesideInventory : kNameWidth, kRowHeight);
    showWholeTextInToolTip(name);
}

void TEtatMachine::launchPings(const std::vector<std::string>& lines) {
    const QPointer<TEtatMachine> self(this);
    for (const std::string& line : lines) {
        m_jobs.ExecLaunchPING(line, [self](discovery::JobPoll& job) {
            if (self) {
                self->ExecReadAlive(job);
            } else {
                job.finish();
            }
        });
    }
}

void TEtatMachine::releaseRows() {
    for (const Row& row : m_rows) {
        for (QWidget* control : row.controls()) {
            control->hide();
            if (m_clickDepth > 0) {
                m_released.push_back(control);
            } else {
                control->deleteLater();
            }
        }
    }
    m_rows.clear();
}

void TEtatMachine::deleteReleasedControls() {
    // Still inside the clicked label's own event: it goes once that event is over.
    for (QWidget* control : m_released) {
        control->deleteLater();
    }
    m_released.clear();
}

void TEtatMachine::fitToContent() {
    m_content->resize(m_contentWidth, m_contentHeight);
    int width = m_contentWidth;
    int height = m_contentHeight;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        // A large group is scrolled rather than drawn beyond the bottom of the screen.
        const int room = screen->availableGeometry().height() - kStatusFrameAllowance;
        if (height > room && room > 0) {
            height = room;
            width += m_scroll->verticalScrollBar()->sizeHint().width();
        }
    }
    resize(width, height);
    m_scroll->setGeometry(0, 0, width, height);
}

void TEtatMachine::showInventoryTitles(bool shown) {
    for (QLabel* title : m_inventoryTitles) {
        title->setVisible(shown);
    }
}

std::vector<std::string> TEtatMachine::rowLines() const {
    std::vector<std::string> lines;
    lines.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        lines.push_back(row.line);
    }
    return lines;
}

void TEtatMachine::reportFailure(const std::string& message) {
    if (message == m_lastFailure) {
        return;
    }
    m_lastFailure = message;
    m_services.console.appendLine(message);
    showFileErrorWithoutWaiting(this, QString::fromStdString(message));
}

}  // namespace vt
