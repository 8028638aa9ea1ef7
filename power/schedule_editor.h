#pragma once

// What the schedule editor ("Programmation avancée") shows and saves: one line of one group's
// record in "settings.ini", the power-on line or the shutdown line.

#include <optional>
#include <string>
#include <string_view>

#include "core/VtlVar.h"
#include "platform/platform.h"
#include "power/schedule_store.h"

namespace vt::power {

inline constexpr const char* kScheduleEditorCaption = "Programmation avancée";
inline constexpr const char* kPowerOnTitle = " L'allumage est programmé à : ";
inline constexpr const char* kShutdownTitle = " L'arrêt est programmé à : ";

// Places of the dialog's controls in one of its two layouts.
struct ScheduleEditorLayout {
    bool dayBoxesVisible = false;     // the seven day boxes and their labels
    bool everyDayTimeEnabled = true;  // PHeure
    int height = 0;
    int okTop = 0;
    int cancelTop = 0;
    int cancelLeft = 0;
    int panelTop = 0;
};

// The short layout when "Tous les jours à :" is ticked, the long one with the day boxes
// otherwise.
ScheduleEditorLayout scheduleEditorLayout(bool everyDay);

// The dialog's contents.
struct ScheduleEditorContents {
    std::string title;             // StaticText1
    bool durationVisible = false;  // Label1, Pduree, Label2: power-on line only
    bool everyDayEnabled = true;   // tlj enabled
    bool everyDay = true;          // tlj ticked
    std::string time;              // PHeure
    std::string duration;          // Pduree
    EditorDays days;               // plundi ... pdimanche
    bool synchronise = false;      // option_synch
    ScheduleEditorLayout layout;
};

// The contents at each opening, for CurrentGroup and EditedTimeField (0 the shutdown line,
// 1 or 2 the power-on line), from "settings.ini" (bare name; a missing or unreadable file
// holds no record). `everyDayBefore` is the state of tlj when the dialog was last closed: a
// power-on line without a record keeps it.
ScheduleEditorContents fillScheduleEditor(const VtlVar& state, const platform::FileSystem& files,
                                          bool everyDayBefore);

// A time as the user types it, in the form the file keeps: blanks around it dropped, and the
// French way of writing it, "7h30" (or "7H30", "7h"), read as 7:30 (7:00). Anything else is
// returned as typed.
std::string typedTime(std::string_view text);

// Checks the boxes before OK saves them and puts their times in the form the file keeps
// (typedTime; an empty every-day time is "0:00", no action). A time the scheduler could never
// match is refused: one that is no hour 0 to 23 and minute 0 to 59, one that the
// synchronisation of all groups would push beyond 23:59 for some group, a duration that is no
// whole number of minutes above 0, and a power-on time whose duration would end after
// midnight. The French reason of the refusal, or nothing when the save may go ahead.
std::optional<std::string> prepareScheduleEditorSave(const VtlVar& state,
                                                     ScheduleEditorContents& contents);

// The OK button: saves the edited line for EditedGroupIndex, or, when synchronise is ticked,
// for every group of GroupList ("Autres" included), each shifted by its index in minutes.
// FileError when "settings.ini" cannot be read or written.
void saveScheduleEditor(VtlVar& state, platform::FileSystem& files,
                        const ScheduleEditorContents& contents);

}  // namespace vt::power
