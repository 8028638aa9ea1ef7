#pragma once

// The schedule editor "Programmation avancée": one line of one group's record in
// "settings.ini", the power-on line or the shutdown line, for every day or per weekday.
// What it shows and saves is worked out in power/schedule_editor.h; this is its window.

#include <QDialog>
#include <QPoint>

#include <array>
#include <functional>

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/platform.h"
#include "power/schedule_editor.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vt {

class Tadvanced_timer : public QDialog {
    Q_OBJECT

public:
    // Created once at start and reused: every opening starts again from the file.
    Tadvanced_timer(VtlVar& state, platform::FileSystem& files, QWidget* parent = nullptr);

    // Where the dialog's top-left corner goes; asked at once and at every opening, so it
    // follows the main window when that has moved.
    void setPlacement(std::function<QPoint()> topLeft);
    // The clock whose date starts the search for the next day without power-on; unset, the
    // system's date.
    void setClock(const Clock* clock) { m_clock = clock; }

    // The modal opening, for CurrentGroup, EditedGroupIndex and EditedTimeField: fills the
    // dialog, then takes a preset answer (dialog_answers.h) without showing it, or shows it.
    // An accepted preset answer saves the boxes as they stand, as OK would. Returns the
    // dialog's result; a save that failed leaves it Rejected.
    int run();
    // The same as run(), so that a plain exec() cannot skip the filling.
    int exec() override;

    // For window tests: called at every opening once the dialog is filled and before the
    // answer is asked, so a test can type into the boxes that a preset answer then saves.
    // The running program never sets it; an empty function removes it.
    static void setOpeningHook(std::function<void(Tadvanced_timer&)> hook);

    // What the boxes hold now, as the OK button saves it.
    power::ScheduleEditorContents contents() const;

    // Handlers, named after their control and event.
    void FormCreate();
    void FormActivate();
    void tljClick();
    // Saves; a time that could never fire is refused with a message, and a file error is
    // shown, both keeping the dialog open with what was typed. True when the line was saved
    // and the dialog closed.
    bool bouton_okClick();

private:
    void applyLayout(bool everyDay);
    void place();

    VtlVar& m_state;
    platform::FileSystem& m_files;
    std::function<QPoint()> m_placement;
    const Clock* m_clock = nullptr;

    QLabel* m_title = nullptr;  // StaticText1
    QCheckBox* m_tlj = nullptr;
    QLineEdit* m_heure = nullptr;            // PHeure
    QLabel* m_durationLabel = nullptr;       // Label1
    QLineEdit* m_duree = nullptr;            // Pduree
    QLabel* m_unitLabel = nullptr;           // Label2
    std::array<QLabel*, 7> m_dayLabels{};    // StaticText2 ... StaticText8
    std::array<QLineEdit*, 7> m_dayBoxes{};  // plundi ... pdimanche
    QFrame* m_panel = nullptr;               // Panel1
    QCheckBox* m_synch = nullptr;            // option_synch
    QLabel* m_nextDayOff = nullptr;          // prochain_jour_sans_allumage
    QPushButton* m_ok = nullptr;             // bouton_ok
    QPushButton* m_cancel = nullptr;         // bouton_annule
};

}  // namespace vt
