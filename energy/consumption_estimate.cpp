#include "energy/consumption_estimate.h"

#include <algorithm>
#include <map>

#include "core/strings.h"

namespace vt::energy {

using namespace std::chrono;

namespace {

// Adds the hours of [from, to) to the days they fall on.
void addHours(std::vector<DayConsumption>& days, local_seconds from, local_seconds to,
              double DayConsumption::*field) {
    if (days.empty()) {
        return;
    }
    const local_days first = days.front().day;
    from = std::max<local_seconds>(from, first);
    for (local_days day = floor<std::chrono::days>(from); day < to; day += std::chrono::days(1)) {
        const auto index = (day - first).count();
        if (index >= static_cast<long>(days.size())) {
            break;
        }
        const local_seconds start = std::max<local_seconds>(from, day);
        const local_seconds end = std::min<local_seconds>(to, day + std::chrono::days(1));
        days[static_cast<std::size_t>(index)].*field +=
            duration<double, std::ratio<3600>>(end - start).count();
    }
}

void estimateMachine(std::vector<DayConsumption>& days,
                     const std::vector<const Observation*>& timeline, local_seconds now) {
    for (std::size_t i = 0; i < timeline.size(); ++i) {
        const Observation& seen = *timeline[i];
        const local_seconds next = i + 1 < timeline.size() ? timeline[i + 1]->when : now;
        if (seen.on) {
            addHours(days, seen.when, std::min(next, now), &DayConsumption::hoursOn);
            continue;
        }
        if (seen.source != sourceWord(ObservationSource::Shutdown) || i == 0 ||
            !timeline[i - 1]->on) {
            continue;
        }
        local_seconds onAgain = now;
        for (std::size_t j = i + 1; j < timeline.size(); ++j) {
            if (timeline[j]->on) {
                onAgain = timeline[j]->when;
                break;
            }
        }
        const local_seconds dayEnd = floor<std::chrono::days>(seen.when) + std::chrono::days(1);
        addHours(days, seen.when, std::min({onAgain, dayEnd, now}), &DayConsumption::hoursSaved);
    }
}

}  // namespace

EnergyRates ratesOf(const Preferences& prefs) {
    return EnergyRates{static_cast<double>(prefs.puissance_poste), prefs.prix_kwh};
}

std::vector<DayConsumption> estimateConsumption(const std::vector<Observation>& history,
                                                const std::optional<std::string>& group,
                                                local_seconds now, int dayCount) {
    std::vector<DayConsumption> days;
    const local_days today = floor<std::chrono::days>(now);
    for (int back = dayCount - 1; back >= 0; --back) {
        days.push_back({today - std::chrono::days(back)});
    }
    std::map<std::string, std::vector<const Observation*>> timelines;
    for (const Observation& observation : history) {
        if (!group || equalsNoCase(trim(observation.group), trim(*group))) {
            timelines[toUpperAscii(observation.machine)].push_back(&observation);
        }
    }
    for (auto& [machine, timeline] : timelines) {
        // Two writers append side by side: a line may come after a later one.
        std::stable_sort(
            timeline.begin(), timeline.end(),
            [](const Observation* a, const Observation* b) { return a->when < b->when; });
        estimateMachine(days, timeline, now);
    }
    return days;
}

}  // namespace vt::energy
