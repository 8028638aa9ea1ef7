#pragma once

// The estimate of what the machines used, day by day, from the history of their states.
//
// Between two lines of its history a machine keeps the state of the first; before its first
// line it counts as off (nothing is known of it), after its last one it keeps that state until
// now. A machine is one name, whatever the group files that list it, so a machine filed under
// two rooms counts once for all groups. What the timetable saved: the hours from a shutdown of
// the timetable ("arrêt") of a machine known to be on, until that machine is seen on again or
// the day ends, whichever comes first; the night after midnight is not counted, so the saving
// is a low estimate.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "energy/consumption_history.h"

namespace vt::energy {

inline constexpr int kEstimatedDays = 30;
inline constexpr int kDefaultWatts = 60;
inline constexpr double kDefaultPricePerKwh = 0.25;

struct EnergyRates {
    double watts = kDefaultWatts;
    double pricePerKwh = kDefaultPricePerKwh;

    double kilowattHours(double hours) const { return hours * watts / 1000.0; }
    double cost(double hours) const { return kilowattHours(hours) * pricePerKwh; }
};
EnergyRates ratesOf(const Preferences& prefs);

struct DayConsumption {
    std::chrono::local_days day;
    double hoursOn = 0;     // every machine's hours on, added up
    double hoursSaved = 0;  // hours off thanks to the timetable's shutdowns
};

// The days from `dayCount - 1` days before the day of `now` to that day, oldest first; today
// counts until `now`. Only the lines of `group` when one is given (its name without regard
// to case), else every line.
std::vector<DayConsumption> estimateConsumption(const std::vector<Observation>& history,
                                                const std::optional<std::string>& group,
                                                std::chrono::local_seconds now,
                                                int dayCount = kEstimatedDays);

}  // namespace vt::energy
