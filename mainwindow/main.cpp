#include "mainwindow/main.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

#include "core/file_error.h"
#include "core/start_up.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"
#include "dialogs/message_box.h"
#include "dialogs/plain_text_lines.h"
#include "dialogs/report_window.h"
#include "dialogs/uBottomdlg.h"
#include "dialogs/uSearchPC.h"
#include "dialogs/uapropos.h"
#include "dialogs/uprefs.h"
#include "dialogs/window_placement.h"
#include "discovery/background_jobs.h"
#include "discovery/scan.h"
#include "energy/consumption_window.h"
#include "mainwindow/group_rows.h"
#include "mainwindow/uConsole.h"
#include "mainwindow/umessageinfo.h"
#include "power/follow_up.h"
#include "power/incident_reports.h"
#include "power/manual_commands.h"
#include "power/periodic_jobs.h"
#include "power/power_commands.h"
#include "power/schedule_store.h"
#include "power/scheduler.h"
#include "power/timetable_runner.h"
#include "power/utimer.h"
#include "qt/controls.h"
#include "qt/led_images.h"
#include "qt/tooltip_timing.h"
#include "qt/window_style.h"
#include "status/machines.h"

namespace vt {

namespace {

constexpr int kShownGroupPointSize = 10;
constexpr int kShownGroupSmallestPointSize = 6;

}  // namespace

TForm1::TForm1(VtlVar& state, const Services& services, LedImages& leds, bool localArgument,
               QWidget* parent)
    : QMainWindow(parent),
      m_state(state),
      m_services(services),
      m_leds(leds),
      m_jobs(std::make_unique<discovery::BackgroundJobs>(state, services)) {
    // Drive C is shared with the service, which numbers its jobs in the upper half.
    m_jobs->setNumberRange(0, discovery::kServiceFirstJobNumber - 1);
    setObjectName("Form1");
    setFont(designFont(8));
    buildFixedControls();
    buildMenu();
    m_rows = std::make_unique<GroupRows>(m_rowArea, m_leds);
    const auto setGroupLed = [this](const std::string& group, bool answered) {
        const int row = groupIndexOf(m_state, group);
        if (row >= 0 && row < m_rows->count()) {
            m_rows->setLed(row, answered ? m_leds.LedGreen : m_leds.LedRed);
        }
    };
    power::TimetableRunner::Hooks hooks;
    // The quiet ticks' jobs that belong to the discovery window run once it is there.
    hooks.pingRefresh = [this] {
        if (m_peers.netScan != nullptr) {
            m_peers.netScan->logic().Ping_MAJ();
        }
    };
    hooks.leasesFetch = [this] {
        if (m_peers.netScan != nullptr) {
            m_peers.netScan->logic().GetDHCPDleases();
        }
    };
    hooks.reportError = [this](const std::string& message) {
        showFileErrorWithoutWaiting(this, QString::fromStdString(message));
    };
    // A check pings the whole room: its LED shows what the check found.
    hooks.groupResult = setGroupLed;
    hooks.holderChanged = [this](const std::optional<std::string>& heldElsewhere) {
        m_titleNote = heldElsewhere.value_or(std::string());
        showCaption();
    };
    // A tick may have reloaded the day's schedule.
    hooks.afterTick = [this] { showSchedules(); };
    hooks.refreshWhileWaiting = true;
    m_timetables = std::make_unique<power::TimetableRunner>(
        state, services, *m_jobs, power::kProgramHolderName, std::move(hooks));
    connect(m_rows.get(), &GroupRows::groupClicked, this, &TForm1::GMClick);
    connect(m_rows.get(), &GroupRows::timeBoxClicked, this, &TForm1::GMTimeClick);
    connect(m_rows.get(), &GroupRows::ledClicked, this, &TForm1::ledClick);
    connect(m_rows.get(), &GroupRows::onClicked, this, &TForm1::ManONClick);
    connect(m_rows.get(), &GroupRows::offClicked, this, &TForm1::ManoffClick);
    connect(m_rows.get(), &GroupRows::commentChosen, this, &TForm1::Commentaire1Click);
    connect(m_rows.get(), &GroupRows::consumptionChosen, this,
            &TForm1::Consommationlectrique1Click);
    FormCreate(localArgument);
}

// The rows go before the engine whose timers they no longer need.
TForm1::~TForm1() = default;

void TForm1::setPeers(const Peers& peers) {
    m_peers = peers;
    if (m_peers.netScan != nullptr) {
        // The ping refresh lights the rows' LEDs.
        m_peers.netScan->logic().setGroupLed([this](std::size_t row, bool answered) {
            if (static_cast<int>(row) < m_rows->count()) {
                m_rows->setLed(static_cast<int>(row), answered ? m_leds.LedGreen : m_leds.LedRed);
            }
        });
    }
}

void TForm1::buildFixedControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);

    // The rows and their column captions scroll; the right-hand panel, laid over the scrolled
    // area, stays where it is.
    m_scroll = new QScrollArea(client);
    m_scroll->setObjectName("rowScroll");
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(false);
    layout->addWidget(m_scroll);

    m_rowArea = new QWidget;
    m_rowArea->setObjectName("rowArea");
    m_scroll->setWidget(m_rowArea);

    auto* bevel = new QFrame(m_rowArea);
    bevel->setObjectName("Bevel1");
    bevel->setFrameStyle(QFrame::HLine | QFrame::Raised);
    bevel->setGeometry(0, 0, 430, 3);
    addLabel(m_rowArea, "StaticText1", "Groupe machine", QRect(16, 16, 82, 17));
    addLabel(m_rowArea, "StaticText2", "Arrêt", QRect(136, 16, 26, 17));
    addLabel(m_rowArea, "StaticText3", "Marche", QRect(185, 16, 40, 17));
    addLabel(m_rowArea, "StaticText6", "(durée)", QRect(224, 16, 37, 17));
    addLabel(m_rowArea, "Label1", "Etat", QRect(282, 16, 19, 13));
    addLabel(m_rowArea, "StaticText5", "Manuel", QRect(320, 16, 39, 17));
    fitRowArea();

    m_shape1 = new QWidget(client);
    m_shape1->setObjectName("Shape1");
    m_shape1->setGeometry(424, 16, 225, 601);
    m_shape1->setAutoFillBackground(true);
    QPalette shapeColours = m_shape1->palette();
    shapeColours.setColor(QPalette::Window, kInactiveCaptionGradient);
    m_shape1->setPalette(shapeColours);

    addLabel(client, "StaticText4", "Listes des machines du groupe", QRect(432, 24, 150, 17));

    m_nomliste = addLabel(client, "nomliste", QString(), QRect(584, 24, 57, 17));
    QFont nameFont = designFont(kShownGroupPointSize);
    nameFont.setBold(true);
    m_nomliste->setFont(nameFont);
    m_nomliste->setAlignment(Qt::AlignCenter);
    // Dark on white: the panel behind it is pale, and white letters on it could not be read.
    QPalette nameColours = m_nomliste->palette();
    nameColours.setColor(QPalette::Window, Qt::white);
    nameColours.setColor(QPalette::WindowText, Qt::black);
    m_nomliste->setPalette(nameColours);
    m_nomliste->setAutoFillBackground(true);

    QPushButton* scan = addButton(client, "Button1", "Scan", QRect(440, 48, 75, 25));
    connect(scan, &QPushButton::clicked, this, &TForm1::Button1Click);
    QPushButton* save = addButton(client, "BtnSave", "Save", QRect(560, 48, 75, 25));
    connect(save, &QPushButton::clicked, this, &TForm1::BtnSaveClick);

    m_memo = new QPlainTextEdit(client);
    m_memo->setObjectName("Memo");
    m_memo->setGeometry(432, 80, 209, 473);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A tab typed here would be saved as part of a machine name: Tab moves on instead.
    m_memo->setTabChangesFocus(true);

    auto* status = new QStatusBar(this);
    status->setObjectName("StatusMain");
    status->setFixedHeight(19);
    setStatusBar(status);

    m_timerExec = new QTimer(this);
    m_timerExec->setObjectName("TimerExec");
    m_timerExec->setInterval(1000);
    connect(m_timerExec, &QTimer::timeout, this, &TForm1::TimerExecTimer);
}

QAction* TForm1::addMenuItem(QMenu* menu, const char* name, const QString& caption, bool enabled,
                             void (TForm1::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    const auto addMenu = [bar](const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        return menu;
    };
    // Items whose windows are not part of the program yet stay disabled.
    QMenu* file = addMenu("Fichier1", "Fichier");
    addMenuItem(file, "Quitter1", "Quitter", true, &TForm1::Quitter1Click);

    QMenu* edit = addMenu("Edition1", "Edition");
    addMenuItem(edit, "Prfrences1", "Préférences", true, &TForm1::Prfrences1Click);

    QMenu* groups = addMenu("Groupesmachines1", "Groupes machines");
    addMenuItem(groups, "ImporterlesgroupesESU1", "Importer les groupes ESU", true,
                &TForm1::ImporterlesgroupesESU1Click);
    addMenuItem(groups, "Dfinir1", "Définir des groupes", true, &TForm1::Dfinir1Click);
    addMenuItem(groups, "Nejamaisteindre1", "Ne jamais éteindre...", true,
                &TForm1::Nejamaisteindre1Click);

    QMenu* reports = addMenu("Rapports1", "Rapports");
    addMenuItem(reports, "IncidentsWOL1", "Incidents WOL", true, &TForm1::IncidentsWOL1Click);
    addMenuItem(reports, "Incidentsshutdown1", "Incidents shutdown", true,
                &TForm1::Incidentsshutdown1Click);
    addMenuItem(reports, "Console1", "Console", true, &TForm1::Console1Click);
    addMenuItem(reports, "ConsommationTous1", "Consommation électrique", true,
                &TForm1::ConsommationTous1Click);
    QMenu* exports = reports->addMenu("Exporter");
    exports->setObjectName("Exporter1");
    exports->menuAction()->setObjectName("Exporter1");
    addMenuItem(exports, "IncidentsWOLCSV1", "Incidents WOL -> CSV", true,
                &TForm1::IncidentsWOLCSV1Click);
    addMenuItem(exports, "IncidentsshutdownCSV1", "Incidents shutdown -> CSV", true,
                &TForm1::IncidentsshutdownCSV1Click);
    addMenuItem(exports, "ListemachinesCSV1", "Liste machines -> CSV", true,
                &TForm1::ListemachinesCSV1Click);

    QMenu* help = addMenu("Aide1", "Aide");
    addMenuItem(help, "Apropos1", "A propos", true, &TForm1::Apropos1Click);
}

void TForm1::FormCreate(bool localArgument) {
    setToolTipDelays(std::chrono::milliseconds(200), std::chrono::milliseconds(5000));
    loadLedImages();
    WindowGeometry geometry;
    // Without a preferences file the console has no place of its own: it opens against this
    // window's right edge, as it does when the file lacks its keys.
    constexpr int kConsoleDefaultHeight = 310;
    m_state.Prefs.cleft = geometry.left + geometry.width;
    m_state.Prefs.ctop = geometry.top;
    m_state.Prefs.cheight = kConsoleDefaultHeight;
    m_startUp = loadSharedState(m_state, m_services, geometry, localArgument);
    for (const std::string& failure : m_startUp.failures) {
        m_services.console.appendLine(failure);
        showFileError(this, QString::fromStdString(failure));
    }
    // Places are those of the client area, both ways, so that a place read back and applied
    // again does not creep by the size of the frame.
    setGeometry(
        reachablePlace(boundedPlace(geometry.left, geometry.top, geometry.width, geometry.height)));
    FormResize();
    showCaption();
    // Only now: a box shown above (a missing image, a list that cannot be read) keeps the
    // creation waiting, and a tick before the preferences are read would start the inventory
    // export without its server and account; the lock is the data directory's.
    m_timetables->start();
    m_timerExec->start();
}

void TForm1::loadLedImages() {
    const std::pair<const char*, QPixmap*> images[] = {
        {kLedRedFile, &m_leds.LedRed},
        {kLedGreenFile, &m_leds.LedGreen},
        {kLedOrangeFile, &m_leds.LedOrange},
        {kLedGreyFile, &m_leds.LedGrey},
    };
    // The start-up does not depend on the images: a missing one is reported and left empty.
    for (const auto& [name, picture] : images) {
        if (!loadPicture(m_services.platform.files, name, *picture)) {
            showFileError(this, QString::fromUtf8(FileError::cannotOpen(name).what()));
        }
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm1::FormShow() {
    if (m_state.GroupList.empty()) {
        try {
            LoadGroups(m_state, m_services.platform.files, m_services.console);
            BuildControls();
        } catch (const FileError& error) {
            showFileError(this, QString::fromUtf8(error.what()));
        }
    }
    m_services.console.appendLine("Le PDC est : " + m_state.Prefs.pdc);
    // The LEDs say at once which rooms answer, not at the first quiet refresh minutes later.
    refreshLeds();
    if (m_state.Prefs.esu == "true") {
        m_services.console.appendLine("Groupes machines ESU détectés");
    }
    showFirstStartHint();
    if (m_peers.console != nullptr) {
        m_peers.console->show();
    }
}

void TForm1::showFirstStartHint() {
    // "Autres" alone: nothing defined yet.
    const bool noGroup = m_state.GroupList.size() <= 1;
    m_memo->setPlaceholderText(noGroup ? QString::fromUtf8(kFirstStartHint) : QString());
    if (noGroup) {
        m_services.console.appendLine(kFirstStartHint);
    }
}

void TForm1::BuildControls() {
    const int lastRow = static_cast<int>(m_state.GroupList.size()) - 1;
    if (m_peers.messageInfo != nullptr) {
        m_peers.messageInfo->show();
    }
    // Every group has its row, however many there are; the last one is always "Autres".
    for (int i = 0; i <= lastRow; ++i) {
        const std::string& group = m_state.GroupList[static_cast<std::size_t>(i)];
        if (m_peers.messageInfo != nullptr) {
            m_peers.messageInfo->setInfo(
                QString::fromStdString(power::kBuildingRowMessage + group));
        }
        m_rows->addRow(i, group);
    }
    m_rows->markLastAsOthers();
    m_state.CurrentGroup = m_state.GroupList.empty() ? std::string() : m_state.GroupList.front();
    fitRowArea();
    try {
        power::LoadTodaySchedule(m_state, m_services);
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
    showSchedules();
    if (m_peers.messageInfo != nullptr) {
        m_peers.messageInfo->hide();
    }
}

void TForm1::DestroyControls() {
    m_rows->DestroyControls();
    fitRowArea();
}

void TForm1::showSchedules() {
    m_rows->showSchedules(m_state);
}

void TForm1::showFileErrorOf(const std::exception& error) {
    showFileError(this, QString::fromUtf8(error.what()));
}

void TForm1::reportTimerError(const std::exception& error) {
    m_services.console.appendLine(error.what());
    showFileErrorWithoutWaiting(this, QString::fromUtf8(error.what()));
}

void TForm1::stopTimers() {
    m_timetables->stop();
    m_timerExec->stop();
}

void TForm1::fitRowArea() {
    int bottom = 0;
    for (const QWidget* child : m_rowArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        bottom = std::max(bottom, child->geometry().bottom() + 1);
    }
    constexpr int kRowAreaWidth = 430;
    constexpr int kBottomMargin = 8;
    m_rowArea->resize(kRowAreaWidth, bottom + kBottomMargin);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize() {
    m_shape1->resize(m_shape1->width(), height() - 90);
    m_memo->resize(m_memo->width(), m_shape1->height() - 74);
}

WindowGeometry TForm1::windowGeometry() const {
    const QRect place = geometry();
    return WindowGeometry{place.x(), place.y(), place.width(), place.height()};
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The timetables live in this program: quitting by a slip would leave the rooms as they
    // are until someone starts it again.
    if (!m_destroyed && m_timetables->holdsTimetables() &&
        power::anyTimetableSet(m_state, m_services.platform.files) &&
        !askToConfirm(this, QString::fromUtf8(kQuitWithTimetablesQuestion))) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_destroyed) {
        emit quitRequested();
    }
}

void TForm1::FormDestroy() {
    if (m_destroyed) {
        return;
    }
    m_destroyed = true;
    platform::FileSystem& files = m_services.platform.files;
    const WindowGeometry place = windowGeometry();
    for (const std::string& failure : saveAtExit(m_state, files, place, m_startUp)) {
        showFileError(this, QString::fromStdString(failure));
    }
    // The leftovers of finished jobs go even when a file could not be saved.
    cleanDriveCAtExit(files, 0, discovery::kServiceFirstJobNumber - 1);
}

void TForm1::Quitter1Click() {
    close();
}

void TForm1::Console1Click() {
    if (m_peers.console != nullptr) {
        m_peers.console->setVisible(!m_peers.console->isVisible());
    }
}

void TForm1::Apropos1Click() {
    if (m_peers.aboutBox != nullptr) {
        m_peers.aboutBox->exec();
    }
}

bool TForm1::isRow(int tag) const {
    return tag >= 0 && tag < m_rows->count() &&
           static_cast<std::size_t>(tag) < m_state.GroupList.size();
}

void TForm1::showGroupInPanel(const std::string& group) {
    m_shownGroup = group;
    // Names longer than the design place are drawn smaller rather than cut.
    showFittedText(m_nomliste, QString::fromStdString(group), kShownGroupPointSize,
                   kShownGroupSmallestPointSize);
    m_memo->setPlainText(plainTextOf(power::groupPanelLines(m_services.platform.files, group)));
}

void TForm1::reloadPanel() {
    if (!m_shownGroup.empty()) {
        showGroupInPanel(m_shownGroup);
    }
}

void TForm1::GMClick(int tag) {
    if (!isRow(tag)) {
        return;
    }
    // The list entry: the button's caption, whole even when the button shows it cut.
    m_state.CurrentGroup = m_state.GroupList[static_cast<std::size_t>(tag)];
    showGroupInPanel(m_state.CurrentGroup);
}

QPoint TForm1::scheduleEditorPlace() const {
    const QWidget* marche = m_rowArea->findChild<QWidget*>("StaticText3");
    const int marcheLeft = marche != nullptr ? marche->x() : 0;
    return QPoint(x() + marcheLeft, y() + 100);
}

void TForm1::GMTimeClick(int tag) {
    if (!power::selectTimeBox(m_state, tag)) {
        return;
    }
    if (m_peers.scheduleEditor != nullptr) {
        m_peers.scheduleEditor->run();
    }
    // Whichever button closed the editor, the rows show what the file now holds.
    try {
        power::LoadTodaySchedule(m_state, m_services);
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
    showSchedules();
}

void TForm1::ledClick(int tag) {
    if (!isRow(tag)) {
        return;
    }
    m_state.CurrentGroup = m_state.GroupList[static_cast<std::size_t>(tag)];
    if (m_peers.machineStatus != nullptr) {
        m_peers.machineStatus->open();
    }
}

void TForm1::PowerUp(const std::string& group) {
    try {
        m_timetables->powerUpByHand(group);
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
}

void TForm1::Shutdown(const std::string& group) {
    try {
        m_timetables->shutdownByHand(group);
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
}

void TForm1::ManONClick(int tag) {
    if (!isRow(tag)) {
        return;
    }
    m_state.CurrentGroup = m_state.GroupList[static_cast<std::size_t>(tag)];
    showGroupInPanel(m_state.CurrentGroup);
    PowerUp(m_state.CurrentGroup);
}

void TForm1::ManoffClick(int tag) {
    if (!isRow(tag)) {
        return;
    }
    m_state.CurrentGroup = m_state.GroupList[static_cast<std::size_t>(tag)];
    showGroupInPanel(m_state.CurrentGroup);
    // A whole room goes off at once: one click is not enough. A file that cannot be read is
    // left to the shutdown, which reports it.
    std::string question;
    try {
        question = power::shutdownQuestion(m_services.platform.files, m_state.CurrentGroup);
    } catch (const FileError&) {
    }
    if (!question.empty() && !askToConfirm(this, QString::fromStdString(question))) {
        return;
    }
    Shutdown(m_state.CurrentGroup);
    // The shutdown tool answers in its own log, not here: say where to read it.
    m_services.console.appendLine("Résultat des arrêts dans " + m_state.DataDir + "shutdown.log");
}

void TForm1::BtnSaveClick() {
    try {
        power::MacAddressSearch searchMacAddresses;
        if (m_peers.netScan != nullptr) {
            searchMacAddresses = [this](const std::string& group) {
                m_peers.netScan->logic().GetMACADDR(group);
            };
        }
        const auto saved =
            power::BtnSaveClick(m_state, m_services.platform.files, m_services.status, m_shownGroup,
                                plainTextLines(m_memo->toPlainText()), searchMacAddresses);
        if (saved) {
            m_memo->setPlainText(plainTextOf(*saved));
        }
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
}

void TForm1::Nejamaisteindre1Click() {
    if (m_peers.textDialog == nullptr) {
        return;
    }
    m_peers.textDialog->geditLabel()->setText(QString::fromUtf8(power::kNeverShutdownPrompt));
    m_peers.textDialog->gEdit()->clear();
    if (m_peers.textDialog->exec() != QDialog::Accepted) {
        return;
    }
    try {
        if (power::addNeverShutdownMachine(m_state, m_services.platform.files,
                                           m_peers.textDialog->gEdit()->text().toStdString())) {
            reloadPanel();
        }
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
}

void TForm1::Commentaire1Click(int tag) {
    const std::string group =
        isRow(tag) ? m_state.GroupList[static_cast<std::size_t>(tag)] : m_state.CurrentGroup;
    const auto comment = power::beginCommentEdit(m_state, group);
    if (!comment || m_peers.textDialog == nullptr) {
        return;
    }
    TOKBottomDlg& dialog = *m_peers.textDialog;
    dialog.geditLabel()->setText(QString::fromUtf8(power::kCommentPrompt));
    dialog.gEdit()->setText(QString::fromStdString(*comment));
    // The title says whose comment this is: the menu may come from any row.
    const QString caption = dialog.windowTitle();
    dialog.setWindowTitle(QString::fromStdString("Commentaire du groupe " + group));
    const int result = dialog.exec();
    dialog.setWindowTitle(caption);
    if (result != QDialog::Accepted) {
        return;
    }
    try {
        power::endCommentEdit(m_state, m_services.platform.files,
                              m_peers.textDialog->gEdit()->text().toStdString());
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
    showSchedules();
}

void TForm1::runReportAction(const std::function<void(VtlVar&, const Services&)>& action) {
    try {
        action(m_state, m_services);
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
}

namespace {

// The report, shown by the program itself when no viewer could be started to show it. A file
// that cannot be written or read is said in a box, as by the other report actions.
void showIncidentReport(QWidget* window, const VtlVar& state, const Services& services,
                        bool (*report)(const VtlVar&, const Services&)) {
    std::optional<QString> unshown;
    try {
        if (!report(state, services)) {
            unshown = plainTextOf(
                loadTextLines(services.platform.files, state.DataDir + power::kReportFile));
        }
    } catch (const FileError& error) {
        showFileError(window, QString::fromUtf8(error.what()));
    }
    if (unshown) {
        ReportWindow(*unshown, window).exec();
    }
}

}  // namespace

void TForm1::IncidentsWOL1Click() {
    showIncidentReport(this, m_state, m_services, &power::showWolReport);
}

void TForm1::Incidentsshutdown1Click() {
    showIncidentReport(this, m_state, m_services, &power::showShutdownReport);
}

void TForm1::IncidentsWOLCSV1Click() {
    runReportAction(&power::exportWolIncidents);
}

void TForm1::IncidentsshutdownCSV1Click() {
    runReportAction(&power::exportShutdownIncidents);
}

void TForm1::Consommationlectrique1Click(int tag) {
    if (isRow(tag)) {
        openConsumptionWindow(this, m_state, m_services,
                              m_state.GroupList[static_cast<std::size_t>(tag)]);
    }
}

void TForm1::ConsommationTous1Click() {
    openConsumptionWindow(this, m_state, m_services, std::nullopt);
}

void TForm1::ListemachinesCSV1Click() {
    runReportAction(&power::exportMachineList);
}

void TForm1::Button1Click() {
    if (m_peers.netScan != nullptr) {
        m_peers.netScan->exec();
        // A discovery run may have filed machines into the rooms.
        refreshLeds();
    }
}

void TForm1::refreshLeds() {
    if (m_peers.netScan == nullptr) {
        return;
    }
    try {
        m_peers.netScan->logic().Ping_MAJ();
    } catch (const FileError& error) {
        reportTimerError(error);
    }
}

void TForm1::Prfrences1Click() {
    // The preferences change in memory; they reach "vtl.ini" at exit.
    if (m_peers.preferences != nullptr) {
        m_peers.preferences->exec();
    }
}

void TForm1::ImporterlesgroupesESU1Click() {
    runGroupSourceDialog();
}

void TForm1::Dfinir1Click() {
    runGroupSourceDialog();
}

void TForm1::runGroupSourceDialog() {
    if (m_peers.groupSource == nullptr) {
        return;
    }
    m_peers.groupSource->exec();
    // Whichever button closed the dialog, the rows show the groups as they now are.
    DestroyControls();
    try {
        LoadGroups(m_state, m_services.platform.files, m_services.console);
    } catch (const FileError& error) {
        showFileErrorOf(error);
    }
    BuildControls();
    showFirstStartHint();
}

void TForm1::Timer1Timer() {
    m_timetables->tick();
}

void TForm1::showCaption() {
    std::string caption = mainWindowCaption(m_state);
    if (!m_titleNote.empty()) {
        caption += " - " + m_titleNote;
    }
    setWindowTitle(QString::fromStdString(caption));
}

// Kept for its place in the window; it has never had work to do.
void TForm1::TimerExecTimer() {
}

}  // namespace vt
