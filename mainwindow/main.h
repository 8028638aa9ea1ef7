#pragma once

// The main window: one row per machine group on the left, the machine list of the shown group
// in the right-hand panel, the main menu.

#include <QMainWindow>
#include <QPoint>

#include <functional>
#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/preferences.h"
#include "core/services.h"
#include "core/start_up.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTimer;

namespace vt {

namespace discovery {
class BackgroundJobs;
}
namespace power {
class TimetableRunner;
}  // namespace power

class GroupRows;
class Tadvanced_timer;
class TAboutBox;
class TConsole;
class TEtatMachine;
class TMessageInfo;
class TNetScan;
class TOKBottomDlg;
class TPrefs;
class TsearchPDC;
struct LedImages;

// Said on the console and in the empty panel while no group is defined.
inline constexpr const char* kFirstStartHint =
    "Aucun groupe de machines : commencez par \"Groupes machines\" > \"Définir des groupes\" "
    "(un groupe par salle).";
// Asked when the program is closed while a group has a timetable.
inline constexpr const char* kQuitWithTimetablesQuestion =
    "Les horaires des groupes ne sont suivis que tant que Vantorel est ouvert : une fois le "
    "programme fermé, aucune salle ne sera allumée ni éteinte à l'heure prévue. Quitter quand "
    "même ?";

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // Runs FormCreate: fills the shared state, loads the LED images, sets the caption.
    TForm1(VtlVar& state, const Services& services, LedImages& leds, bool localArgument,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The windows created after this one, which its handlers open.
    struct Peers {
        TAboutBox* aboutBox = nullptr;
        TConsole* console = nullptr;
        TOKBottomDlg* textDialog = nullptr;
        TMessageInfo* messageInfo = nullptr;
        Tadvanced_timer* scheduleEditor = nullptr;
        TNetScan* netScan = nullptr;
        TsearchPDC* groupSource = nullptr;
        TEtatMachine* machineStatus = nullptr;
        TPrefs* preferences = nullptr;
    };
    void setPeers(const Peers& peers);

    // The scrolled area that holds the fixed column captions and the group rows (row i at
    // y = i * 24 + 32, left of x = 424). Call fitRowArea() after adding or removing rows.
    QWidget* rowArea() const { return m_rowArea; }
    void fitRowArea();
    QScrollArea* scrollArea() const { return m_scroll; }

    WindowGeometry windowGeometry() const;

    // The group rows, and the group whose machine list the panel shows (empty: none).
    GroupRows& rows() const { return *m_rows; }
    // The numbered background jobs of the program, which the discovery window and the status
    // window start too.
    discovery::BackgroundJobs& jobs() const { return *m_jobs; }
    const std::string& shownGroup() const { return m_shownGroup; }
    // Where the schedule editor opens: 100 pixels below this window's top, at its left plus
    // the left of the "Marche" column caption.
    QPoint scheduleEditorPlace() const;

    // A power command on a group, as the scheduler and the "on" and "off" buttons give it;
    // a file error is shown in a message box.
    void PowerUp(const std::string& group);
    void Shutdown(const std::string& group);

    // The exit: saves preferences and incident logs, cleans drive C. Runs once.
    void FormDestroy();
    // Stops the scheduler and its companion timer (a termination request does it first).
    void stopTimers();

signals:
    // The window was closed or "Quitter" chosen: the program ends.
    void quitRequested();

public slots:
    void Quitter1Click();
    void Prfrences1Click();
    void ImporterlesgroupesESU1Click();
    void Dfinir1Click();
    void Nejamaisteindre1Click();
    void IncidentsWOL1Click();
    void Incidentsshutdown1Click();
    void Console1Click();
    void IncidentsWOLCSV1Click();
    void IncidentsshutdownCSV1Click();
    void ListemachinesCSV1Click();
    void Apropos1Click();
    void Button1Click();
    void BtnSaveClick();
    void GMClick(int tag);
    void GMTimeClick(int tag);
    void ledClick(int tag);
    void ManONClick(int tag);
    void ManoffClick(int tag);
    void Commentaire1Click(int tag);
    // "Consommation électrique": the group's of the pop-up menu, every group's from "Rapports".
    void Consommationlectrique1Click(int tag);
    void ConsommationTous1Click();
    // One minute of the timetables, as their timer runs it.
    void Timer1Timer();
    void TimerExecTimer();
    power::TimetableRunner& timetables() { return *m_timetables; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(bool localArgument);
    void FormShow();
    void FormResize();
    void BuildControls();
    void DestroyControls();
    void showGroupInPanel(const std::string& group);
    // The group source dialog, then the rows rebuilt from the groups it gives.
    void runGroupSourceDialog();
    void reloadPanel();
    bool isRow(int tag) const;
    void showFirstStartHint();
    // A ping refresh of every group's LED.
    void refreshLeds();
    void showSchedules();
    // The caption with its target address, and who runs the timetables when it is not this
    // program.
    void showCaption();
    void showFileErrorOf(const std::exception& error);
    // An error met by a timer: a console line and a box that does not hold the timer up.
    void reportTimerError(const std::exception& error);
    void runReportAction(const std::function<void(VtlVar&, const Services&)>& action);
    void loadLedImages();
    void buildFixedControls();
    void buildMenu();
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, bool enabled,
                         void (TForm1::*handler)());

    VtlVar& m_state;
    Services m_services;
    LedImages& m_leds;
    Peers m_peers;
    bool m_destroyed = false;
    StartUpOutcome m_startUp;

    QScrollArea* m_scroll = nullptr;
    QWidget* m_rowArea = nullptr;
    QWidget* m_shape1 = nullptr;
    QLabel* m_nomliste = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QTimer* m_timerExec = nullptr;
    // What the title adds while the service holds the timetables.
    std::string m_titleNote;

    std::unique_ptr<GroupRows> m_rows;
    std::string m_shownGroup;
    std::unique_ptr<discovery::BackgroundJobs> m_jobs;
    std::unique_ptr<power::TimetableRunner> m_timetables;
};

}  // namespace vt
